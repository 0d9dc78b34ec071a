// MemoryPort: a SerialPort wired straight to a simulated Unit on a virtual clock, for tests
// that need no pseudo-terminal. A read that would time out returns at once and advances the
// clock by its limit; a read of a byte the unit sends later advances the clock to that byte.
// So every 2000/5000/6000/7000 ms path runs instantly and its wait can be asserted exactly.
//
// Writes take no virtual time and reach the unit at the clock's present. A limit of 0 (or
// less) waits up to kUnlimitedWaitCapMs. Opening reports a power-on state of 1200 baud,
// 7 bits, even parity until setState changes it; getState returns what was last set.
// Failures leave Win32 codes in lastError(): 2 absent index, 5 busy or already open, 6 not
// open, 22 the line closed (a CloseLine fault: reads and writes fail until the port is
// closed, and the index stays absent until setPresent), 31 a forced getState/setState
// failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/SerialPort.h"
#include "sim/Unit.h"

namespace sim {

class VirtualClock {
 public:
  std::int64_t nowUs() const { return nowUs_; }
  std::int64_t nowMs() const { return nowUs_ / 1000; }
  void advanceUs(std::int64_t us) { nowUs_ += us; }
  void advanceToUs(std::int64_t us) {
    if (us > nowUs_) nowUs_ = us;
  }

 private:
  std::int64_t nowUs_ = 0;
};

class MemoryPort : public SerialPort {
 public:
  MemoryPort(Responder& unit, VirtualClock& clock) : unit_(unit), clock_(clock) {}

  bool openDevice(int portIndex) override;
  bool getState(LineSettings& settings) override;
  bool setState(const LineSettings& settings) override;
  bool writeByte(std::uint8_t value) override;
  int readByte(int timeoutMs) override;
  bool closeDevice() override;
  bool deviceGone() const override { return isRemovalError(lastError_); }
  std::uint32_t lastError() const override { return lastError_; }
  std::string lastErrorText() const override;
  std::int64_t nowUs() const override { return clock_.nowUs(); }

  // Test controls: which COM indexes exist and which are held by another program.
  void setPresent(int portIndex, bool present);
  void setBusy(int portIndex, bool busy);
  void failNextGetState() { failGetState_ = true; }
  void failNextSetState() { failSetState_ = true; }

  // What went out: every byte with the parity it was sent with.
  struct SentByte {
    std::uint8_t value;
    Parity parity;
  };
  const std::vector<SentByte>& sent() const { return sent_; }
  const LineSettings& settings() const { return settings_; }
  bool isOpen() const { return openIndex_ >= 0; }
  bool isPresent(int portIndex) const { return validIndex(portIndex) && present_[portIndex]; }
  bool lineClosed() const { return lineClosed_; }
  int openIndex() const { return openIndex_; }

 private:
  static bool validIndex(int portIndex) { return portIndex >= 0 && portIndex < 4; }
  // Open and not failed; else sets lastError_.
  bool usable();

  Responder& unit_;
  VirtualClock& clock_;
  int openIndex_ = -1;
  bool present_[4] = {true, true, true, true};
  bool busy_[4] = {false, false, false, false};
  bool failGetState_ = false;
  bool failSetState_ = false;
  bool lineClosed_ = false;
  LineSettings settings_{};
  std::vector<SentByte> sent_;
  std::uint32_t lastError_ = 0;
};

}  // namespace sim
