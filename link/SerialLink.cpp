#include "link/SerialLink.h"

#include <algorithm>
#include <utility>

namespace {

constexpr unsigned kHighestPortIndex = 3;  // COM4
constexpr std::uint8_t kDataBits = 8;
// Lets the byte before a parity change leave the line with its own parity.
constexpr int kParityChangePauseMs = 2;

const char kUnsupportedPort[] = "Opening serial port: Only Com1 - Com4 are supported";
const char kInvalidHandle[] = "Opening serial port: Invalid handle retrieved opening port";
const char kNoCommStatus[] = "Opening serial port:  Could not get comm status";
const char kCommStatusRefused[] = "Opening serial port:  Could not set comm status";

}  // namespace

SerialLink::SerialLink() : port_(makeSystemPort()) {}

SerialLink::SerialLink(std::unique_ptr<SerialPort> port) : port_(std::move(port)) {}

SerialLink::~SerialLink() { close(); }

void SerialLink::setPort(std::unique_ptr<SerialPort> port) {
  close();  // the old port must not keep its device once it is no longer reachable
  port_ = std::move(port);
}

std::string SerialLink::open(int index, std::uint32_t baud, int addressed) {
  if (static_cast<unsigned>(index) > kHighestPortIndex) return kUnsupportedPort;
  close();  // a second open must not leak the device already held
  return openSteps(port_->openDevice(index), index, baud, addressed);
}

std::string SerialLink::openSteps(bool obtained, int index, std::uint32_t baud, int addressed) {
  if (!obtained) {
    recordPortError();
    return kInvalidHandle;
  }
  if (!port_->getState(portSettings)) return abandonOpen(kNoCommStatus);
  portSettings.baudRate = baud;
  portSettings.byteSize = kDataBits;
  portSettings.stopBits = ONESTOPBIT;
  portSettings.parity = addressed != 0 ? SPACEPARITY : NOPARITY;
  addressedMode = addressed != 0 ? 1 : 0;
  if (!port_->setState(portSettings)) return abandonOpen(kCommStatusRefused);
  baudRate = baud;
  addressedOption = addressed;
  portIndex = index;
  if (trace_) {
    const std::string name = "COM" + std::to_string(index + 1);
    std::string device = port_->deviceName(index);
    if (device.empty()) device = name;
    lost_ ? trace_->reopened(name, device) : trace_->opened(name, device);
  }
  return {};
}

std::string SerialLink::abandonOpen(const char* message) {
  recordPortError();
  port_->closeDevice();  // the device was obtained but is not open for the link: release it
  return message;
}

std::string SerialLink::portName(int index) const {
  const std::string name = "COM" + std::to_string(index + 1);
  const std::string device = port_->deviceName(index);
  return device.empty() ? name : name + " (" + device + ")";
}

// The same port, the same settings and the same exclusive hold as the open that was lost.
bool SerialLink::reopen() {
  const std::string message = openSteps(port_->reopenDevice(portIndex), portIndex, baudRate, addressedOption);
  if (!message.empty()) {
    if (onReopenFailure) onReopenFailure(message);
    return false;
  }
  lost_ = false;
  return true;
}

// A device that is gone is released at once, so that the adapter, once back, can be opened
// again (its lock and its old descriptor would otherwise hold it).
void SerialLink::noteFailure() {
  if (lost_ || !port_->deviceGone()) return;
  port_->closeDevice();
  lost_ = true;
  if (trace_) trace_->lost();
}

void SerialLink::close() {
  if (!isOpen()) return;
  if (lost_) {
    lost_ = false;  // the device was released when it went away
    portIndex = -1;
    return;
  }
  lastResult = port_->closeDevice() ? 1 : 0;
  if (lastResult == 0) recordPortError();
  portIndex = -1;
  if (trace_) trace_->closed();
}

int SerialLink::sendLine(const std::string& text) {
  if (!isOpen()) return 0;
  if (lost_ && !reopen()) return lastResult = 0;
  drain();
  if (addressedMode != 0) {
    writeByte(addressByte1, MARKPARITY);
    writeByte(addressByte2, SPACEPARITY);
  }
  for (const char c : text) {
    const auto value = static_cast<std::uint8_t>(c);
    writeByte(value, SPACEPARITY);  // a failed byte does not stop the line
    if (addressedMode != 0) runningSum = static_cast<std::uint8_t>(runningSum + value);
  }
  if (addressedMode != 0) {
    const auto sum = static_cast<std::uint8_t>(addressByte1 + addressByte2 + runningSum);
    writeByte(static_cast<std::uint8_t>(sum >> 1), MARKPARITY);
    runningSum = 0;
  }
  return lastResult;
}

int SerialLink::writeByte(std::uint8_t value, Parity parity) {
  if (!isOpen() || lost_) return lastResult = 0;
  if (addressedMode != 0 && parity != portSettings.parity) {
    port_->pause(kParityChangePauseMs);
    portSettings.parity = parity;
    lastResult = port_->setState(portSettings) ? 1 : 0;
    if (lastResult == 0) recordPortError();  // the byte still goes out
  }
  lastResult = port_->writeByte(value) ? 1 : 0;
  if (lastResult == 0) {
    recordPortError();
    noteFailure();
  }
  if (lastResult != 0 && trace_) trace_->sent(value);
  return lastResult;
}

int SerialLink::readBytes(std::uint8_t* buffer, std::size_t count, int timeoutMs) {
  if (!isOpen()) return 0;
  for (std::size_t i = 0; i < count; ++i) {
    const int value = readByte(timeoutMs);
    if (value < 0) return 0;
    buffer[i] = static_cast<std::uint8_t>(value);
  }
  return 1;
}

int SerialLink::readByte(int timeoutMs) {
  if (!isOpen()) return kReadFailed;
  if (lost_) {
    lastResult = 0;
    return kReadFailed;
  }
  // A negative limit would be an enormous one to the device; it means "no limit" here.
  const int limitMs = std::max(timeoutMs, 0);
  const int value = trace_ ? readTraced(limitMs) : port_->readByte(limitMs);
  lastResult = value == kReadFailed ? 0 : 1;
  if (value == kReadFailed) noteFailure();
  return value;
}

// A first short look tells a byte that is there from a read that waits, so that the trace's
// burst ends before the wait and each entry keeps the time of its first byte. Both looks
// together wait exactly the limit.
int SerialLink::readTraced(int limitMs) {
  constexpr int kLookMs = WireTrace::kBurstGapMs;
  const bool looksFirst = limitMs == 0 || limitMs > kLookMs;
  int value = port_->readByte(looksFirst ? kLookMs : limitMs);
  if (value == kReadTimedOut) {
    trace_->endBurst();
    if (looksFirst) value = port_->readByte(limitMs == 0 ? 0 : limitMs - kLookMs);
  }
  if (value >= 0) trace_->received(static_cast<std::uint8_t>(value));
  return value;
}

void SerialLink::drain() {
  // A device that never falls silent would keep a drain going for ever; no reply of the unit
  // is longer than a directory, so twice that much stale input is the most worth discarding.
  std::uint8_t discarded = 0;
  for (std::size_t count = 0; count < kDrainCapBytes; ++count) {
    if (readBytes(&discarded, 1, kDrainQuietMs) == 0) return;
  }
}

void SerialLink::recordPortError() {
  lastError = port_->lastError();
  lastErrorText = port_->lastErrorText();
}
