// The Win32 port: "COM1".."COM4" through CreateFileA, the DCB and COMMTIMEOUTS.
//
// The DCB the device reports at open is kept whole; only the baud rate, data bits, stop bits
// and parity are ever changed, so flow control and special characters stay as configured.
//
// Input is read in bursts: one ReadFile takes whatever the driver holds (or waits for the
// first byte of the next burst), and single bytes are then handed out from a buffer. A call
// per byte costs more than the byte's time on the line under Wine, where every call is a
// round trip to the wine server. The per-byte limit still holds: a byte in the buffer has
// arrived, and the wait for the next burst is the next byte's limit.
#include "link/SerialPort.h"  // before <windows.h>, which defines the parity names as macros

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <utility>

namespace {

// Reads with a limit of 0 wait in slices of this length: a COMMTIMEOUTS constant of 0 has no
// defined waiting behaviour (and returns at once under Wine).
constexpr DWORD kUnlimitedReadSliceMs = 1000;

class Win32SerialPort final : public SerialPort {
 public:
  Win32SerialPort() = default;
  // Opens device ("\\.\COM12", say) for any COM index.
  explicit Win32SerialPort(std::string device) : device_(std::move(device)) {}
  ~Win32SerialPort() override { closeDevice(); }

  bool openDevice(int portIndex) override;
  bool getState(LineSettings& settings) override;
  bool setState(const LineSettings& settings) override;
  bool writeByte(std::uint8_t value) override;
  int readByte(int timeoutMs) override;
  bool closeDevice() override;
  bool deviceGone() const override { return isRemovalError(lastError_); }
  std::string deviceName(int) const override { return name_; }
  std::uint32_t lastError() const override { return lastError_; }
  std::string lastErrorText() const override;

 private:
  bool fail() {
    lastError_ = GetLastError();
    return false;
  }
  int readWithin(DWORD limitMs);
  void forgetInput() {
    next_ = 0;
    end_ = 0;
    appliedLimitMs_ = kNoLimitApplied;
  }

  static constexpr DWORD kNoLimitApplied = 0;  // never a limit readWithin applies

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  std::string device_;  // empty: "COM1".."COM4" by index
  std::string name_;
  // Bytes read from the driver and not yet handed out: input_[next_..end_).
  std::array<std::uint8_t, 4096> input_{};
  std::size_t next_ = 0;
  std::size_t end_ = 0;
  DWORD appliedLimitMs_ = kNoLimitApplied;  // the read limit the device has, to set it only when it changes
  DCB dcb_{};
  bool haveDcb_ = false;
  DWORD lastError_ = 0;
};

bool Win32SerialPort::openDevice(int portIndex) {
  closeDevice();
  const std::string name = device_.empty() ? "COM" + std::to_string(portIndex + 1) : device_;
  handle_ = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  // The error must be taken before any other call, or it would report that call's failure.
  if (handle_ == INVALID_HANDLE_VALUE) return fail();
  FlushFileBuffers(handle_);
  name_ = name;
  haveDcb_ = false;
  forgetInput();
  return true;
}

bool Win32SerialPort::getState(LineSettings& settings) {
  dcb_ = DCB{};
  dcb_.DCBlength = sizeof(DCB);
  if (!GetCommState(handle_, &dcb_)) return fail();
  haveDcb_ = true;
  settings.baudRate = dcb_.BaudRate;
  settings.byteSize = dcb_.ByteSize;
  settings.stopBits = dcb_.StopBits;
  settings.parity = static_cast<Parity>(dcb_.Parity);
  return true;
}

bool Win32SerialPort::setState(const LineSettings& settings) {
  LineSettings reported;
  if (!haveDcb_ && !getState(reported)) return false;
  dcb_.BaudRate = settings.baudRate;
  dcb_.ByteSize = settings.byteSize;
  dcb_.StopBits = settings.stopBits;
  dcb_.Parity = settings.parity;
  if (!SetCommState(handle_, &dcb_)) return fail();
  return true;
}

bool Win32SerialPort::writeByte(std::uint8_t value) {
  DWORD written = 0;
  if (!WriteFile(handle_, &value, 1, &written, nullptr)) return fail();
  if (written != 1) {
    lastError_ = ERROR_WRITE_FAULT;
    return false;
  }
  return true;
}

// The next byte: from the buffer, else from one ReadFile of all the driver holds (its count
// from ClearCommError), or, with nothing there, of the next byte, which returns as soon as
// that byte is there or after limitMs (both other members MAXDWORD). A ReadFile of more
// bytes than are there would wait for all of them under Wine.
int Win32SerialPort::readWithin(DWORD limitMs) {
  if (next_ < end_) return input_[next_++];
  if (limitMs != appliedLimitMs_) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = limitMs;
    if (!SetCommTimeouts(handle_, &timeouts)) {
      fail();
      return kReadFailed;
    }
    appliedLimitMs_ = limitMs;
  }
  DWORD errors = 0;
  COMSTAT status{};
  DWORD wanted = 1;
  if (ClearCommError(handle_, &errors, &status) && status.cbInQue > 1) {
    wanted = std::min<DWORD>(status.cbInQue, static_cast<DWORD>(input_.size()));
  }
  DWORD received = 0;
  if (!ReadFile(handle_, input_.data(), wanted, &received, nullptr)) {
    fail();
    return kReadFailed;
  }
  if (received == 0) return kReadTimedOut;
  next_ = 1;
  end_ = std::min<std::size_t>(received, input_.size());
  return input_[0];
}

int Win32SerialPort::readByte(int timeoutMs) {
  if (timeoutMs > 0) return readWithin(static_cast<DWORD>(timeoutMs));
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    const ULONGLONG waited = GetTickCount64() - start;
    if (waited >= static_cast<ULONGLONG>(kUnlimitedWaitCapMs)) return kReadTimedOut;
    const auto left = static_cast<DWORD>(kUnlimitedWaitCapMs - waited);
    const int result = readWithin(std::min(left, kUnlimitedReadSliceMs));
    if (result != kReadTimedOut) return result;
  }
}

bool Win32SerialPort::closeDevice() {
  if (handle_ == INVALID_HANDLE_VALUE) return true;
  const BOOL closed = CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
  haveDcb_ = false;
  forgetInput();
  return closed ? true : fail();
}

std::string Win32SerialPort::lastErrorText() const {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, lastError_,
                                      0, text, sizeof(text), nullptr);
  std::string words(text, length);
  while (!words.empty() && (words.back() == '\r' || words.back() == '\n' || words.back() == ' ')) {
    words.pop_back();
  }
  if (words.empty()) return "Windows error " + std::to_string(lastError_);
  return words;
}

}  // namespace

std::unique_ptr<SerialPort> makeSystemPort() { return std::make_unique<Win32SerialPort>(); }

std::unique_ptr<SerialPort> makeDevicePort(const std::string& path) { return std::make_unique<Win32SerialPort>(path); }
