// Serving a Unit on a pseudo-terminal in real time. The serving thread polls the master side
// for the program's bytes with short waits, so it notices stop_ and the unit's due replies
// promptly, and writes each reply byte once the unit's time stamp for it has come.
#include "sim/PtyUnit.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>

namespace sim {

namespace {

constexpr int kIdlePollMs = 20;

std::int64_t steadyNowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

PtyUnit::PtyUnit(Responder& unit) : unit_(unit) { openTerminal(); }

bool PtyUnit::openTerminal() {
  // Raw from the start: a new pty echoes and turns CR into LF, which the unit must never see.
  termios raw{};
  cfmakeraw(&raw);
  char name[PATH_MAX] = {};
  if (openpty(&master_, &slave_, name, &raw, nullptr) != 0) {
    master_ = slave_ = -1;
    slavePath_.clear();
    return false;
  }
  slavePath_ = name;
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  fcntl(master_, F_SETFD, FD_CLOEXEC);
  fcntl(slave_, F_SETFD, FD_CLOEXEC);
  stop_ = false;
  thread_ = std::thread([this] { serve(); });
  return true;
}

bool PtyUnit::replug(int delayMs) {
  closeLine();
  if (slave_ >= 0) close(slave_);
  slave_ = -1;
  usleep(static_cast<useconds_t>(delayMs) * 1000);
  const std::string folder = linkFolder_;
  const int number = linkNumber_;
  if (!openTerminal()) return false;
  return folder.empty() || createLink(folder, number);
}

PtyUnit::~PtyUnit() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (master_ >= 0) close(master_);
  if (slave_ >= 0) close(slave_);
  removeLink();
}

bool PtyUnit::createLink(const std::string& folder, int comNumber) {
  if (slavePath_.empty()) return false;
  removeLink();
  const std::string path = folder + "/COM" + std::to_string(comNumber);
  struct stat existing {};
  // Replace an old link, but never a file or device someone put there.
  if (lstat(path.c_str(), &existing) == 0) {
    if (!S_ISLNK(existing.st_mode) || unlink(path.c_str()) != 0) return false;
  }
  if (symlink(slavePath_.c_str(), path.c_str()) != 0) return false;
  linkPath_ = path;
  linkFolder_ = folder;
  linkNumber_ = comNumber;
  return true;
}

void PtyUnit::closeLine() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  if (master_ >= 0) close(master_);
  master_ = -1;
}

// Only our own link goes: the path may meanwhile point at another simulator's terminal.
void PtyUnit::removeLink() {
  if (linkPath_.empty()) return;
  char target[PATH_MAX];
  const ssize_t length = readlink(linkPath_.c_str(), target, sizeof target - 1);
  if (length >= 0 && std::string(target, static_cast<std::size_t>(length)) == slavePath_) {
    unlink(linkPath_.c_str());
  }
  linkPath_.clear();
}

void PtyUnit::serve() {
  while (!stop_) {
    const auto next = unit_.peekOutput();
    const std::int64_t nowUs = steadyNowUs();
    const bool due = next && next->atUs <= nowUs;
    // Ask for room to write only when a byte is due, or poll would return at once.
    pollfd watch{master_, static_cast<short>(POLLIN | (due ? POLLOUT : 0)), 0};
    int waitMs = kIdlePollMs;
    if (next && !due) waitMs = static_cast<int>(std::min<std::int64_t>((next->atUs - nowUs + 999) / 1000, kIdlePollMs));
    if (poll(&watch, 1, waitMs) < 0 && errno != EINTR) return;
    if (watch.revents & POLLNVAL) return;
    if (watch.revents & POLLIN) receiveAvailable();
    if (!sendDue()) return;
  }
}

void PtyUnit::receiveAvailable() {
  std::uint8_t buffer[256];
  const ssize_t count = read(master_, buffer, sizeof buffer);
  const std::int64_t nowUs = steadyNowUs();
  for (ssize_t i = 0; i < count; ++i) unit_.receive(buffer[i], nowUs);
}

// Closing the master discards what the program has not read yet; a line that closes "after
// n bytes" lets those bytes arrive first (for at most a second, should nobody read them).
// The kernel hands written bytes to the slave's queue a moment later, hence the first pause.
void PtyUnit::awaitDelivery() {
  usleep(10000);
  for (int waitedMs = 0; waitedMs < 1000 && !stop_; ++waitedMs) {
    int pending = 0;
    if (ioctl(slave_, FIONREAD, &pending) != 0 || pending == 0) return;
    usleep(1000);
  }
}

// Writes the reply bytes whose time has come; false once the unit closed the line.
bool PtyUnit::sendDue() {
  for (auto next = unit_.peekOutput(); next && next->atUs <= steadyNowUs(); next = unit_.peekOutput()) {
    if (next->value == kLineClosed) {
      unit_.popOutput();
      awaitDelivery();
      close(master_);
      master_ = -1;
      return false;
    }
    const auto byte = static_cast<std::uint8_t>(next->value);
    if (write(master_, &byte, 1) != 1) return true;  // the program's buffer is full: later
    unit_.popOutput();
  }
  return true;
}

}  // namespace sim
