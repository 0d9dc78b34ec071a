#include "link/WireTrace.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

WireTrace::WireTrace(std::unique_ptr<std::ostream> out, const std::string& program, Clock clock)
    : out_(std::move(out)), clock_(std::move(clock)) {
  *out_ << kMagic << ' ' << kFormatVersion << "\n# " << traceText(program)
        << ": ms since the port opened; > to the unit, < from it; hex | text\n"
        << std::flush;
}

WireTrace::~WireTrace() { endBurst(); }

std::unique_ptr<WireTrace> WireTrace::create(const std::string& path, const std::string& program,
                                             std::string& problem) {
  // A trace goes into a file of its own: written into a device (the port itself, say) it
  // would be sent as commands, or lost.
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    problem = path + (std::filesystem::is_directory(status) ? ": a folder, not a file" : ": not a regular file");
    return nullptr;
  }
  auto file = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
  if (!*file) {
    problem = path + ": " + std::strerror(errno);
    return nullptr;
  }
  return std::make_unique<WireTrace>(std::move(file), program);
}

std::int64_t WireTrace::steadyClockUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void WireTrace::sent(std::uint8_t value) { add(Direction::kSent, value); }

void WireTrace::received(std::uint8_t value) { add(Direction::kReceived, value); }

void WireTrace::add(Direction direction, std::uint8_t value) {
  if (direction != direction_) {
    endBurst();
    direction_ = direction;
    burstMs_ = elapsedMs();
  }
  burst_.push_back(static_cast<char>(value));
}

void WireTrace::endBurst() {
  if (burst_.empty()) return;
  *out_ << burstMs_ << (direction_ == Direction::kSent ? " > " : " < ") << traceHex(burst_) << " | "
        << traceText(burst_) << '\n'
        << std::flush;
  burst_.clear();
  direction_ = Direction::kNone;
}

void WireTrace::opened(const std::string& name, const std::string& device) {
  event("opened " + traceText(name) + " " + traceText(device));
}

void WireTrace::reopened(const std::string& name, const std::string& device) {
  event("reopened " + traceText(name) + " " + traceText(device));
}

void WireTrace::lost() { event("lost"); }

void WireTrace::closed() { event("closed"); }

void WireTrace::event(const std::string& words) {
  endBurst();
  *out_ << elapsedMs() << ' ' << words << '\n' << std::flush;
}

// The first entry, normally the port's opening, is time 0.
std::int64_t WireTrace::elapsedMs() {
  const std::int64_t nowUs = clock_();
  if (originUs_ < 0) originUs_ = nowUs;
  return (nowUs - originUs_) / 1000;
}

std::string traceText(const std::string& bytes) {
  std::string text;
  text.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto value = static_cast<unsigned char>(c);
    if (value == '\\') {
      text += "\\\\";
    } else if (value >= 0x20 && value < 0x7F) {
      text.push_back(c);
    } else if (value == '\r') {
      text += "\\r";
    } else if (value == '\n') {
      text += "\\n";
    } else if (value == 0) {
      text += "\\0";
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", value);
      text += escaped;
    }
  }
  return text;
}

std::string traceHex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  hex.reserve(bytes.size() * 3);
  for (const char c : bytes) {
    const auto value = static_cast<unsigned char>(c);
    if (!hex.empty()) hex.push_back(' ');
    hex.push_back(kDigits[value >> 4]);
    hex.push_back(kDigits[value & 0x0F]);
  }
  return hex;
}
