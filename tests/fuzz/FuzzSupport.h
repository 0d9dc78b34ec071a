// What the fuzz targets share: a serial port that plays back the fuzzer's bytes as the unit's
// side of the line, an explorer window on the in-memory desktop behind it, and the check that
// stops a run when an invariant breaks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/SerialPort.h"
#include "platform/memory/MemoryDesktop.h"
#include "ui/ExplorerDialog.h"

namespace fuzz {

// Aborts with what broke, so that the fuzzer records the input (and a replay fails).
void require(bool holds, const char* what);

// The unit speaks when spoken to: each line the program ends with CR releases the next reply,
// and reads take the released bytes in order. With nothing to read a read times out, or,
// once every reply is out and failAtEnd is set, fails as a vanished device does. Written
// bytes are dropped. Time is virtual: a read that times out moves the clock by its limit.
class ScriptedPort : public SerialPort {
 public:
  ScriptedPort(std::vector<std::string> replies, bool failAtEnd)
      : replies_(std::move(replies)), failAtEnd_(failAtEnd) {}

  bool openDevice(int) override { return true; }
  bool getState(LineSettings& settings) override;
  bool setState(const LineSettings& settings) override;
  bool writeByte(std::uint8_t value) override;
  int readByte(int timeoutMs) override;
  bool closeDevice() override { return true; }
  std::uint32_t lastError() const override { return 0; }
  std::string lastErrorText() const override { return {}; }
  std::int64_t nowUs() const override { return nowMs_ * 1000; }

 private:
  std::vector<std::string> replies_;
  std::size_t nextReply_ = 0;
  std::string pending_;
  std::size_t nextByte_ = 0;
  bool failAtEnd_;
  LineSettings settings_{};
  std::int64_t nowMs_ = 0;
};

// Replies separated by the byte 0xFF, so that one fuzz input scripts a whole exchange.
std::vector<std::string> splitReplies(const std::uint8_t* data, std::size_t size);

// The explorer window with serialLink open on a ScriptedPort for as long as it lives.
class Session {
 public:
  Session(std::vector<std::string> replies, bool failAtEnd);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  platform::memory::MemoryDesktop desktop;
  std::unique_ptr<ExplorerDialog> dialog;
  platform::memory::MemoryExplorerWindow* window = nullptr;
};

}  // namespace fuzz
