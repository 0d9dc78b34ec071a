// WireTrace: every byte the serial link writes and reads, as plain text that a person can read
// and the simulator can play back as the unit (dorvik-unit-sim --replay).
//
// Format, version 1. The first line is "dorvik-trace 1"; lines starting with '#' are comments.
// Every other line is one entry, led by its time in whole milliseconds since the port was
// first opened:
//   T opened NAME DEVICE      the port (COM1..COM4) and the device behind it
//   T > HEX | TEXT            bytes sent to the unit
//   T < HEX | TEXT            bytes received from it
//   T lost | T reopened NAME DEVICE | T closed
// HEX is two digits a byte, blank separated; TEXT is the same bytes with printable ASCII as it
// stands and everything else escaped (\r \n \0 \\ \xNN), so no raw CR or control byte is ever
// in the file.
//
// A burst (one entry) is bytes in one direction with no wait between them: it ends when the
// direction changes, at an event, or when a read finds nothing within kBurstGapMs. Its time is
// that of its first byte. Each entry is flushed as it ends, so a killed program keeps its
// trace up to its last wait; nothing is flushed per byte.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

class WireTrace {
 public:
  static constexpr int kFormatVersion = 1;
  static constexpr const char* kMagic = "dorvik-trace";
  // Longer than a USB adapter's latency (16 ms) and than a byte at any rate the unit uses.
  static constexpr int kBurstGapMs = 20;

  using Clock = std::function<std::int64_t()>;  // microseconds on any steady base

  // Writes the header at once. program names who writes the trace (a comment line).
  WireTrace(std::unique_ptr<std::ostream> out, const std::string& program, Clock clock = steadyClockUs);
  ~WireTrace();  // writes a pending burst
  WireTrace(const WireTrace&) = delete;
  WireTrace& operator=(const WireTrace&) = delete;

  // Creates (or empties) the file at path; null with the system's reason in problem.
  static std::unique_ptr<WireTrace> create(const std::string& path, const std::string& program, std::string& problem);

  void sent(std::uint8_t value);
  void received(std::uint8_t value);
  // Ends the pending burst, if any (a read is about to wait).
  void endBurst();

  void opened(const std::string& name, const std::string& device);
  void reopened(const std::string& name, const std::string& device);
  void lost();
  void closed();

  static std::int64_t steadyClockUs();

 private:
  enum class Direction { kNone, kSent, kReceived };
  void add(Direction direction, std::uint8_t value);
  void event(const std::string& words);
  std::int64_t elapsedMs();

  std::unique_ptr<std::ostream> out_;
  Clock clock_;
  std::int64_t originUs_ = -1;  // when the first entry was written
  Direction direction_ = Direction::kNone;
  std::int64_t burstMs_ = 0;
  std::string burst_;
};

// The escaped TEXT form of bytes, as a trace writes it.
std::string traceText(const std::string& bytes);
// The HEX form of bytes, as a trace writes it.
std::string traceHex(const std::string& bytes);
