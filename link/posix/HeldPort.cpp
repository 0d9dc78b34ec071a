#include "link/posix/HeldPort.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

#include "link/SerialPort.h"

namespace {

// Written before the descriptor is published, read only after: a handler sees a whole record.
termios foundSettings{};
std::atomic<int> heldFd{-1};

void releaseAndExit(int signalNumber) {
  releaseOpenPort();
  ::_exit(128 + signalNumber);
}

}  // namespace

namespace held {

void hold(int fd, const termios& found) {
  foundSettings = found;
  heldFd.store(fd);
}

void letGo() { heldFd.store(-1); }

}  // namespace held

void releaseOpenPort() {
  const int fd = heldFd.exchange(-1);
  if (fd < 0) return;
  // All three calls are async-signal-safe. Exclusive mode would outlive us while another
  // program (the simulator, a second adapter user) holds the terminal; close drops the lock.
  ::tcsetattr(fd, TCSANOW, &foundSettings);
  ::ioctl(fd, TIOCNXCL);
  ::close(fd);
}

void keepStandardStreamsOpen() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1) ::open("/dev/null", O_RDWR);  // takes the lowest free number: fd
  }
}

void releasePortOnExitSignals() {
  struct sigaction action {};
  action.sa_handler = releaseAndExit;
  sigemptyset(&action.sa_mask);
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) ::sigaction(signalNumber, &action, nullptr);
}
