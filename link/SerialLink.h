// SerialLink: the program's one connection to the unit.
//
// Opens one of COM1..COM4 at a given baud rate, 8 data bits, 1 stop bit, no parity; sends a
// text byte by byte; reads single bytes with a per-byte time-out; drains stale input. All of
// it blocks the calling thread; there is no buffering beyond the driver's.
//
// Optional addressed frame format (never used by the program, kept as part of the contract):
// each text is preceded by two address bytes and followed by a checksum byte, told apart
// from data by switching the parity bit between mark (address, checksum) and space (data).
//
// Every operation but open is harmless on a closed link: it does nothing and reports failure.
//
// A read or write that fails because the device is gone (an adapter pulled out) leaves the
// link lost: the device is released, the port and its settings are kept, reads and writes
// fail at once, and the next sendLine first opens the same port again. Only when that works
// does the line go out; otherwise it fails like a write to an absent device, and the next
// sendLine tries again. Nothing is ever resent by the link itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/SerialPort.h"
#include "link/WireTrace.h"

class SerialLink {
 public:
  SerialLink();  // closed, using the operating system's port implementation
  explicit SerialLink(std::unique_ptr<SerialPort> port);
  ~SerialLink();  // closes the port if still open
  SerialLink(const SerialLink&) = delete;
  SerialLink& operator=(const SerialLink&) = delete;

  // Replaces the port implementation (never null), closing the link first. Used by tests.
  void setPort(std::unique_ptr<SerialPort> port);

  // Empty text on success, else one of the four "Opening serial port: ..." messages. A failed
  // open leaves the link closed (and releases any device it had already obtained); opening
  // an open link closes it first.
  std::string open(int portIndex, std::uint32_t baudRate, int addressed);
  void close();

  // Drains, then writes text (CR already appended) one byte at a time, framed in addressed
  // mode. Returns the success flag of the last write; 0 on a closed link (nothing drained).
  int sendLine(const std::string& text);
  // Writes one byte; in addressed mode first switches the parity when it differs.
  int writeByte(std::uint8_t value, Parity parity);
  // 1 when all count bytes arrived within timeoutMs each; 0 otherwise, with the bytes that
  // did arrive stored and the rest of buffer untouched. 0 on a closed link.
  int readBytes(std::uint8_t* buffer, std::size_t count, int timeoutMs);
  // One byte 0..255, kReadFailed or kReadTimedOut (kReadFailed on a closed link). A limit of
  // 0 or less means no per-byte limit, up to kUnlimitedWaitCapMs of silence.
  int readByte(int timeoutMs);
  // Reads and discards until 100 ms pass without a byte, a read fails, or the link is closed.
  void drain();

  bool isOpen() const { return portIndex != -1; }
  // The port's clock (virtual for in-memory ports), in microseconds.
  std::int64_t nowUs() const { return port_->nowUs(); }

  // Records every byte and every open and close from now on (null: no trace). The link owns
  // the trace, so that its last entry is the close at the program's very end.
  void setTrace(std::unique_ptr<WireTrace> trace) { trace_ = std::move(trace); }
  WireTrace* trace() const { return trace_.get(); }
  // Open for the program, but its device went away and is not yet open again.
  bool isLost() const { return lost_; }
  // "COM1 (/dev/ttyS0)": the port and the device it leads to, for messages.
  std::string portName(int index) const;

  // Told the open failure message of each reopen that failed (lastErrorText has the reason).
  std::function<void(const std::string& message)> onReopenFailure;

  // Public for tests and for the error reports.
  std::int32_t portIndex = -1;
  std::uint32_t baudRate = 0;
  std::int32_t addressedOption = 0;
  std::uint32_t lastError = 0;
  std::int32_t lastResult = 0;
  std::int32_t addressedMode = 0;
  LineSettings portSettings{};
  std::uint8_t addressByte1 = 0;
  std::uint8_t addressByte2 = 0;
  std::uint8_t runningSum = 0;
  std::string lastErrorText;  // the OS's words for lastError, for the user on standard error

  static constexpr int kDrainQuietMs = 100;
  static constexpr std::size_t kDrainCapBytes = 32768;  // a drain ends after this many bytes

 private:
  // The rest of open once the device was asked for; obtained: whether it was given.
  std::string openSteps(bool obtained, int index, std::uint32_t baud, int addressed);
  std::string abandonOpen(const char* message);
  bool reopen();
  void recordPortError();
  int readTraced(int limitMs);
  void noteFailure();

  std::unique_ptr<SerialPort> port_;
  std::unique_ptr<WireTrace> trace_;
  bool lost_ = false;
};

// The program's one link. Every global object is defined in app/Globals.cpp, which fixes their
// construction order: serialLink first, so that it is destroyed (and the port closed) last.
extern SerialLink serialLink;
