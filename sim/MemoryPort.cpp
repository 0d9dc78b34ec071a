// The in-memory port: writes reach the unit at the virtual clock's time; a read takes the next
// byte the unit sends if it arrives within the limit, moving the clock to its arrival, and
// otherwise moves the clock by exactly the limit.
#include "sim/MemoryPort.h"

namespace sim {

namespace {

// The Windows error codes a real port reports in these situations.
constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kAccessDenied = 5;
constexpr std::uint32_t kInvalidHandle = 6;
constexpr std::uint32_t kBadCommand = 22;
constexpr std::uint32_t kGenFailure = 31;

// What a freshly opened device reports: deliberately not 9600 8-N-1, so that a test sees
// whether the program set the line up.
constexpr LineSettings kPowerOnSettings{1200, 7, ONESTOPBIT, EVENPARITY};

}  // namespace

bool MemoryPort::openDevice(int portIndex) {
  if (!validIndex(portIndex) || !present_[portIndex]) {
    lastError_ = kFileNotFound;
    return false;
  }
  if (busy_[portIndex] || isOpen()) {
    lastError_ = kAccessDenied;
    return false;
  }
  openIndex_ = portIndex;
  lineClosed_ = false;
  settings_ = kPowerOnSettings;
  return true;
}

bool MemoryPort::getState(LineSettings& settings) {
  if (!usable()) return false;
  if (failGetState_) {
    failGetState_ = false;
    lastError_ = kGenFailure;
    return false;
  }
  settings = settings_;
  return true;
}

bool MemoryPort::setState(const LineSettings& settings) {
  if (!usable()) return false;
  if (failSetState_) {
    failSetState_ = false;
    lastError_ = kGenFailure;
    return false;
  }
  settings_ = settings;
  return true;
}

bool MemoryPort::writeByte(std::uint8_t value) {
  if (!usable()) return false;
  sent_.push_back({value, settings_.parity});
  unit_.receive(value, clock_.nowUs());
  return true;
}

int MemoryPort::readByte(int timeoutMs) {
  if (!usable()) return kReadFailed;
  const int limitMs = timeoutMs > 0 ? timeoutMs : kUnlimitedWaitCapMs;
  const std::int64_t limitUs = std::int64_t{limitMs} * 1000;
  const auto next = unit_.peekOutput();
  if (!next || next->atUs > clock_.nowUs() + limitUs) {
    clock_.advanceUs(limitUs);
    return kReadTimedOut;
  }
  clock_.advanceToUs(next->atUs);
  unit_.popOutput();
  if (next->value == kLineClosed) {
    // The adapter is gone: this port fails until it is closed, and the index is absent
    // until a test plugs it in again with setPresent.
    lineClosed_ = true;
    present_[openIndex_] = false;
    lastError_ = kBadCommand;
    return kReadFailed;
  }
  return next->value;
}

bool MemoryPort::closeDevice() {
  if (!isOpen()) {
    lastError_ = kInvalidHandle;
    return false;
  }
  openIndex_ = -1;
  lineClosed_ = false;
  return true;
}

std::string MemoryPort::lastErrorText() const {
  switch (lastError_) {
    case 0: return "no error";
    case kFileNotFound: return "no such device";
    case kAccessDenied: return "device in use";
    case kInvalidHandle: return "port not open";
    case kBadCommand: return "device vanished";
    case kGenFailure: return "device failed";
    default: return "error " + std::to_string(lastError_);
  }
}

void MemoryPort::setPresent(int portIndex, bool present) {
  if (validIndex(portIndex)) present_[portIndex] = present;
}

void MemoryPort::setBusy(int portIndex, bool busy) {
  if (validIndex(portIndex)) busy_[portIndex] = busy;
}

bool MemoryPort::usable() {
  if (!isOpen()) {
    lastError_ = kInvalidHandle;
    return false;
  }
  if (lineClosed_) {
    lastError_ = kBadCommand;
    return false;
  }
  return true;
}

}  // namespace sim
