// The POSIX port: termios on a tty (a serial device, a USB adapter, a pseudo-terminal).
//
// The device is non-blocking; every wait is a poll with a deadline on the monotonic clock, so
// a signal never stretches a wait and a hang-up ends it at once instead of spinning.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iterator>
#include <string>

#include "link/posix/HeldPort.h"
#include "link/SerialPort.h"
#include "link/posix/PortResolver.h"

namespace {

using Clock = std::chrono::steady_clock;

#ifdef CMSPAR
constexpr tcflag_t kStickParity = CMSPAR;  // PARODD then selects mark, else space
#else
constexpr tcflag_t kStickParity = 0;  // mark and space parity cannot be set here
#endif

struct BaudCode {
  std::uint32_t rate;
  speed_t code;
};

constexpr BaudCode kBaudCodes[] = {
    {300, B300},     {600, B600},     {1200, B1200},   {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400},
};

constexpr tcflag_t kSizeCodes[] = {CS5, CS6, CS7, CS8};  // 5..8 data bits
constexpr std::uint8_t kSmallestByteSize = 5;

// A file that is no terminal, or a pseudo-terminal, refuses some ioctls; neither is an error.
bool isTolerable(int error) { return error == ENOTTY || error == EINVAL; }

// The system's words for an error a user meets at a serial port, said plainly too.
std::string plainWords(int error) {
  switch (error) {
    case ENOENT: return "no such device";
    case ENOTTY: return "not a serial device";
    case EISDIR: return "a folder, not a serial device";
    case ELOOP: return "a link that leads round in a loop";
    case EBUSY: return "another program holds the port";
    case EIO:
    case ENXIO:
    case ENODEV: return "the device is gone (unplugged?)";
    default: return "";
  }
}

int millisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = other.fd_;
      other.fd_ = -1;
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Closes now; false (errno set) when close() reported an error. Closed afterwards anyway.
  bool reset() {
    if (fd_ < 0) return true;
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_ = -1;
};

enum class Wait { kReady, kTimedOut, kFailed };

class PosixSerialPort final : public SerialPort {
 public:
  PosixSerialPort() = default;
  // A port that opens path whatever COM index it is given.
  explicit PosixSerialPort(std::string path) : fixedPath_(std::move(path)) {}

  bool openDevice(int portIndex) override;
  bool getState(LineSettings& settings) override;
  bool setState(const LineSettings& settings) override;
  bool writeByte(std::uint8_t value) override;
  int readByte(int timeoutMs) override;
  bool closeDevice() override;
  bool reopenDevice(int portIndex) override;
  bool deviceGone() const override { return error_ == EIO || error_ == ENXIO || error_ == ENODEV; }
  std::string deviceName(int portIndex) const override;
  std::uint32_t lastError() const override { return static_cast<std::uint32_t>(error_); }
  std::string lastErrorText() const override;

 private:
  bool fail(int error, std::string why = {}) {
    error_ = error;
    why_ = std::move(why);
    return false;
  }
  bool openPath(const std::string& path);
  Wait waitFor(short events, Clock::time_point deadline);
  bool raiseModemLines();

  std::string fixedPath_;
  std::string openedPath_;  // what the last open opened: a lost adapter comes back there
  UniqueFd fd_;
  termios foundSettings_{};
  bool found_ = false;
  int error_ = 0;
  std::string why_;  // what the error means here, when the system's words do not say it
};

std::string PosixSerialPort::deviceName(int portIndex) const {
  if (fd_) return openedPath_;
  return fixedPath_.empty() ? ports::resolvePort(portIndex, "/", ".").device : fixedPath_;
}

std::string PosixSerialPort::lastErrorText() const {
  std::string text = std::strerror(error_);
  const std::string plain = why_.empty() ? plainWords(error_) : why_;
  return plain.empty() ? text : text + ": " + plain;
}

bool PosixSerialPort::openDevice(int portIndex) {
  closeDevice();
  if (!fixedPath_.empty()) return openPath(fixedPath_);
  const PortLead lead = ports::resolvePort(portIndex, "/", ".");
  if (lead.device.empty()) return fail(ENOENT, lead.why);
  return openPath(lead.device);
}

// The adapter a by-id name stood for comes back under that name, whatever ttyUSB it gets.
bool PosixSerialPort::reopenDevice(int portIndex) {
  closeDevice();
  return openedPath_.empty() ? openDevice(portIndex) : openPath(openedPath_);
}

bool PosixSerialPort::openPath(const std::string& path) {
  openedPath_ = path;
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd) return fail(errno);
  // TIOCEXCL does not stop root; the advisory lock stops a second program even then.
  if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return fail(errno);
  if (::ioctl(fd.get(), TIOCEXCL) != 0 && !isTolerable(errno)) return fail(errno);
  // What the port was like before us, put back when we let it go (a file is no terminal and
  // has nothing to put back).
  found_ = ::tcgetattr(fd.get(), &foundSettings_) == 0;
  if (found_) held::hold(fd.get(), foundSettings_);
  fd_ = std::move(fd);
  return true;
}

bool PosixSerialPort::getState(LineSettings& settings) {
  termios attributes{};
  if (::tcgetattr(fd_.get(), &attributes) != 0) return fail(errno);
  settings = LineSettings{};
  const speed_t speed = ::cfgetospeed(&attributes);
  for (const BaudCode& entry : kBaudCodes) {
    if (entry.code == speed) settings.baudRate = entry.rate;
  }
  const tcflag_t size = attributes.c_cflag & CSIZE;
  for (std::uint8_t i = 0; i < std::size(kSizeCodes); ++i) {
    if (kSizeCodes[i] == size) settings.byteSize = static_cast<std::uint8_t>(kSmallestByteSize + i);
  }
  settings.stopBits = (attributes.c_cflag & CSTOPB) != 0 ? TWOSTOPBITS : ONESTOPBIT;
  const tcflag_t parity = attributes.c_cflag;
  if ((parity & PARENB) == 0) {
    settings.parity = NOPARITY;
  } else if (kStickParity != 0 && (parity & kStickParity) != 0) {
    settings.parity = (parity & PARODD) != 0 ? MARKPARITY : SPACEPARITY;
  } else {
    settings.parity = (parity & PARODD) != 0 ? ODDPARITY : EVENPARITY;
  }
  return true;
}

bool applyParity(termios& attributes, Parity parity) {
  attributes.c_cflag &= ~(PARENB | PARODD | kStickParity);
  switch (parity) {
    case NOPARITY: return true;
    case ODDPARITY: attributes.c_cflag |= PARENB | PARODD; return true;
    case EVENPARITY: attributes.c_cflag |= PARENB; return true;
    case MARKPARITY: attributes.c_cflag |= PARENB | PARODD | kStickParity; return kStickParity != 0;
    case SPACEPARITY: attributes.c_cflag |= PARENB | kStickParity; return kStickParity != 0;
    default: return false;
  }
}

bool applyLineSettings(termios& attributes, const LineSettings& settings) {
  ::cfmakeraw(&attributes);
  attributes.c_cflag |= CLOCAL | CREAD;
  // No flow control: a unit that never raises CTS or sends XON must not stall every write.
  attributes.c_cflag &= ~CRTSCTS;
  attributes.c_iflag &= ~(IXON | IXOFF | IXANY);
  attributes.c_cc[VMIN] = 0;
  attributes.c_cc[VTIME] = 0;

  const BaudCode* baud = nullptr;
  for (const BaudCode& entry : kBaudCodes) {
    if (entry.rate == settings.baudRate) baud = &entry;
  }
  if (baud == nullptr || ::cfsetispeed(&attributes, baud->code) != 0 || ::cfsetospeed(&attributes, baud->code) != 0) {
    return false;
  }
  if (settings.byteSize < kSmallestByteSize || settings.byteSize >= kSmallestByteSize + std::size(kSizeCodes)) {
    return false;
  }
  attributes.c_cflag = (attributes.c_cflag & ~CSIZE) | kSizeCodes[settings.byteSize - kSmallestByteSize];
  if (settings.stopBits == ONESTOPBIT) {
    attributes.c_cflag &= ~CSTOPB;
  } else if (settings.stopBits == TWOSTOPBITS) {
    attributes.c_cflag |= CSTOPB;
  } else {
    return false;  // one and a half stop bits: no termios equivalent
  }
  return applyParity(attributes, settings.parity);
}

bool PosixSerialPort::setState(const LineSettings& settings) {
  termios attributes{};
  if (::tcgetattr(fd_.get(), &attributes) != 0) return fail(errno);
  if (!applyLineSettings(attributes, settings)) return fail(EINVAL);
  // TCSADRAIN: bytes already written leave with the settings they were written under, which
  // is what a parity switch between address and data bytes needs.
  if (::tcsetattr(fd_.get(), TCSADRAIN, &attributes) != 0) return fail(errno);
  return raiseModemLines();
}

bool PosixSerialPort::raiseModemLines() {
  int lines = TIOCM_DTR | TIOCM_RTS;
  if (::ioctl(fd_.get(), TIOCMBIS, &lines) != 0 && !isTolerable(errno)) return fail(errno);
  return true;
}

Wait PosixSerialPort::waitFor(short events, Clock::time_point deadline) {
  for (;;) {
    pollfd entry{fd_.get(), events, 0};
    const int ready = ::poll(&entry, 1, millisecondsUntil(deadline));
    if (ready < 0) {
      if (errno == EINTR) continue;
      fail(errno);
      return Wait::kFailed;
    }
    if (ready == 0) {
      if (Clock::now() >= deadline) return Wait::kTimedOut;
      continue;
    }
    if ((entry.revents & events) != 0) return Wait::kReady;
    // Hang-up or error with nothing to transfer: the device is gone.
    fail((entry.revents & POLLNVAL) != 0 ? EBADF : EIO);
    return Wait::kFailed;
  }
}

int PosixSerialPort::readByte(int timeoutMs) {
  if (!fd_) {
    fail(EBADF);
    return kReadFailed;
  }
  const int limitMs = timeoutMs > 0 ? timeoutMs : kUnlimitedWaitCapMs;
  const auto deadline = Clock::now() + std::chrono::milliseconds(limitMs);
  for (;;) {
    const Wait wait = waitFor(POLLIN, deadline);
    if (wait == Wait::kTimedOut) return kReadTimedOut;
    if (wait == Wait::kFailed) return kReadFailed;
    std::uint8_t value = 0;
    const ssize_t count = ::read(fd_.get(), &value, 1);
    if (count == 1) return value;
    // Readable but nothing to read: the other end closed the line.
    if (count == 0) {
      fail(ENODEV);
      return kReadFailed;
    }
    if (errno != EINTR && errno != EAGAIN) {
      fail(errno);
      return kReadFailed;
    }
  }
}

bool PosixSerialPort::writeByte(std::uint8_t value) {
  if (!fd_) return fail(EBADF);
  // Writes have no limit of their own; the cap only keeps a stalled device from hanging us.
  const auto deadline = Clock::now() + std::chrono::milliseconds(kUnlimitedWaitCapMs);
  for (;;) {
    const ssize_t count = ::write(fd_.get(), &value, 1);
    if (count == 1) return true;
    if (count == 0) return fail(EIO);
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return fail(errno);
    const Wait wait = waitFor(POLLOUT, deadline);
    if (wait == Wait::kTimedOut) return fail(ETIMEDOUT);
    if (wait == Wait::kFailed) return false;
  }
}

bool PosixSerialPort::closeDevice() {
  if (!fd_) return true;
  // Exclusive mode stays with the terminal while anyone else holds it open (the simulator
  // does): end it, or every later opener but root is refused as busy. Closing the descriptor
  // drops the advisory lock.
  held::letGo();
  if (found_) ::tcsetattr(fd_.get(), TCSANOW, &foundSettings_);
  found_ = false;
  ::ioctl(fd_.get(), TIOCNXCL);
  if (!fd_.reset()) return fail(errno);
  return true;
}

}  // namespace

std::unique_ptr<SerialPort> makeSystemPort() { return std::make_unique<PosixSerialPort>(); }

std::unique_ptr<SerialPort> makeDevicePort(const std::string& path) { return std::make_unique<PosixSerialPort>(path); }
