// Responder: what stands at the unit's end of a line, seen from a transport. Bytes from the
// program go in with receive(); the bytes to send come out of a queue, each stamped with the
// time at which it goes on the line. The simulated Unit and a trace's Replay are two of them;
// PtyUnit serves one on a pseudo-terminal, MemoryPort on a virtual clock.
#pragma once

#include <cstdint>
#include <optional>

namespace sim {

struct OutputByte {
  std::int64_t atUs;  // when the unit puts it on the line
  int value;          // 0..255, or kLineClosed
};
constexpr int kLineClosed = -1;

class Responder {
 public:
  virtual ~Responder() = default;
  // Feeds one byte from the program, received at nowUs.
  virtual void receive(std::uint8_t byte, std::int64_t nowUs) = 0;
  // The next byte to send, if any is queued (whatever its time).
  virtual std::optional<OutputByte> peekOutput() const = 0;
  virtual void popOutput() = 0;
};

}  // namespace sim
