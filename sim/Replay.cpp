// Reading a trace strictly (a replay that guessed at a damaged trace could answer what the
// unit never answered) and playing its exchanges back in order.
#include "sim/Replay.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "link/WireTrace.h"

namespace sim {

namespace {

// Far longer than any command; a longer line is refused without being kept.
constexpr std::size_t kMaxLineBytes = 4096;

struct Entry {
  std::int64_t ms = 0;
  char direction = 0;  // '>' sent, '<' received, 0 an event
  std::string bytes;
};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "HEX | TEXT" -> bytes; false when the hex is malformed or the text is not its escaped form.
bool parseBytes(const std::string& rest, std::string& bytes, std::string& why) {
  const std::size_t bar = rest.find(" | ");
  const std::string hex = rest.substr(0, bar);
  if (bar == std::string::npos || hex.size() % 3 != 2) {
    why = "its bytes are not \"HEX | TEXT\"";
    return false;
  }
  for (std::size_t i = 0; i < hex.size(); i += 3) {
    const int high = hexDigit(hex[i]), low = hexDigit(hex[i + 1]);
    if (high < 0 || low < 0 || (i + 2 < hex.size() && hex[i + 2] != ' ')) {
      // Appended, not "\"" + ...: GCC 12 warns falsely (-Wrestrict) on a literal before a temporary.
      why = std::string("\"").append(hex, i, 2).append("\" is not a byte in hex");
      return false;
    }
    bytes.push_back(static_cast<char>(high * 16 + low));
  }
  if (rest.substr(bar + 3) != traceText(bytes)) {
    why = "its text does not match its hex bytes (the trace was edited?)";
    return false;
  }
  return true;
}

// One entry line; false with why in words.
bool parseEntry(const std::string& line, Entry& entry, std::string& why) {
  std::size_t at = 0;
  while (at < line.size() && at < 15 && line[at] >= '0' && line[at] <= '9') ++at;
  if (at == 0 || at >= line.size() || line[at] != ' ') {
    why = "not an entry (a time in ms first)";
    return false;
  }
  entry.ms = std::stoll(line.substr(0, at));
  const std::string rest = line.substr(at + 1);
  if (rest.starts_with("> ") || rest.starts_with("< ")) {
    entry.direction = rest[0];
    return parseBytes(rest.substr(2), entry.bytes, why);
  }
  const std::string word = rest.substr(0, rest.find(' '));
  if (word == "opened" || word == "reopened" || word == "lost" || word == "closed") return true;
  why = "not an entry: \"" + word + "\"";
  return false;
}

}  // namespace

std::unique_ptr<Replay> Replay::parse(const std::string& text, std::string* problem) {
  std::unique_ptr<Replay> replay(new Replay);
  std::string why;
  if (replay->read(text, &why)) return replay;
  if (problem) *problem = why;
  return nullptr;
}

bool Replay::read(const std::string& text, std::string* problem) {
  const std::string magic = std::string(WireTrace::kMagic) + " ";
  if (text.empty()) {
    *problem = "the file is empty: not a dorvik wire trace";
    return false;
  }
  int lineNumber = 1;
  for (const char c : text) {
    const auto value = static_cast<unsigned char>(c);
    if (value == '\n') ++lineNumber;
    if (value != '\n' && (value < 0x20 || value > 0x7E)) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "0x%02X", value);
      *problem = "line " + std::to_string(lineNumber) + ": byte " + hex +
                 ": a trace is printable text only (binary noise in the file?)";
      return false;
    }
  }
  const std::string first = text.substr(0, text.find('\n'));
  if (!first.starts_with(magic)) {
    *problem = "not a dorvik wire trace: its first line is \"" + first.substr(0, 60) + "\"";
    return false;
  }
  if (first != magic + std::to_string(WireTrace::kFormatVersion)) {
    *problem = "a trace of format version " + first.substr(magic.size(), 20) + "; this simulator reads version " +
               std::to_string(WireTrace::kFormatVersion);
    return false;
  }
  if (text.back() != '\n') {
    *problem = "line " + std::to_string(lineNumber) + ": cut short (the trace ends in the middle of a line)";
    return false;
  }

  std::istringstream lines(text);
  std::string line, sent;
  std::int64_t lastMs = 0, lineMs = 0;
  std::getline(lines, line);
  for (lineNumber = 2; std::getline(lines, line); ++lineNumber) {
    if (line.empty() || line[0] == '#') continue;
    Entry entry;
    std::string why;
    if (!parseEntry(line, entry, why)) {
      *problem = "line " + std::to_string(lineNumber) + ": " + why;
      return false;
    }
    if (entry.ms < lastMs) {
      *problem = "line " + std::to_string(lineNumber) + ": its time goes back to " + std::to_string(entry.ms) + " ms";
      return false;
    }
    lastMs = entry.ms;
    if (entry.direction == '<') {
      auto& answer = exchanges_.empty() ? preamble_ : exchanges_.back().answer;
      answer.push_back({exchanges_.empty() ? 0 : entry.ms - lineMs, entry.bytes});
    }
    if (entry.direction != '>') continue;
    for (const char c : entry.bytes) {
      sent.push_back(c);
      if (c != '\r') continue;
      exchanges_.push_back({sent, lineNumber, {}});
      sent.clear();
      lineMs = entry.ms;
    }
  }
  queue(preamble_, 0);
  return true;
}

void Replay::setFast(bool fast) {
  std::lock_guard lock(mutex_);
  fast_ = fast;
}

void Replay::setRefusalObserver(std::function<void(const std::string&)> observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

void Replay::receive(std::uint8_t byte, std::int64_t nowUs) {
  std::string refused;
  std::function<void(const std::string&)> observer;
  {
    std::lock_guard lock(mutex_);
    if (line_.size() < kMaxLineBytes) {
      line_.push_back(static_cast<char>(byte));
    } else {
      lineTooLong_ = true;
    }
    if (byte != '\r') return;
    if (!lineTooLong_ && next_ < exchanges_.size() && exchanges_[next_].line == line_) {
      queue(exchanges_[next_++].answer, nowUs);
    } else {
      refused = refusal(line_);
      refusals_.push_back(refused);
      observer = observer_;
    }
    line_.clear();
    lineTooLong_ = false;
  }
  if (observer) observer(refused);
}

std::string Replay::refusal(const std::string& line) const {
  const std::string head =
      "refused line " + std::to_string(next_ + 1) + ": received \"" + traceText(line) + (lineTooLong_ ? "...\"" : "\"");
  if (next_ >= exchanges_.size()) {
    return head + ", the trace has only " + std::to_string(exchanges_.size()) + " lines; no reply";
  }
  const Exchange& expected = exchanges_[next_];
  return head + ", the trace has \"" + traceText(expected.line) + "\" (trace line " +
         std::to_string(expected.traceLine) + "); no reply";
}

void Replay::queue(const std::vector<Burst>& bursts, std::int64_t fromUs) {
  std::int64_t tailUs = output_.empty() ? fromUs : output_.back().atUs;
  for (const Burst& burst : bursts) {
    const std::int64_t atUs = std::max(tailUs, fromUs + (fast_ ? 0 : burst.afterMs * 1000));
    for (const char c : burst.bytes) output_.push_back({atUs, static_cast<std::uint8_t>(c)});
    tailUs = atUs;
  }
}

std::optional<OutputByte> Replay::peekOutput() const {
  std::lock_guard lock(mutex_);
  if (output_.empty()) return std::nullopt;
  return output_.front();
}

void Replay::popOutput() {
  std::lock_guard lock(mutex_);
  if (!output_.empty()) output_.pop_front();
}

std::size_t Replay::linesAnswered() const {
  std::lock_guard lock(mutex_);
  return next_;
}

std::vector<std::string> Replay::refusals() const {
  std::lock_guard lock(mutex_);
  return refusals_;
}

}  // namespace sim
