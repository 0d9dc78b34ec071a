#include "support/PtyPair.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

std::string failure(const char* step) { return std::string(step) + ": " + std::strerror(errno); }

bool makeRaw(int fd) {
  termios attributes{};
  if (tcgetattr(fd, &attributes) != 0) return false;
  cfmakeraw(&attributes);
  return tcsetattr(fd, TCSANOW, &attributes) == 0;
}

}  // namespace

PtyPair::~PtyPair() {
  closeMaster();
  if (slave_ >= 0) close(slave_);
  if (!previousFolder_.empty() && chdir(previousFolder_.c_str()) != 0) {
    std::perror("restoring the working folder");
  }
  std::error_code ignored;
  if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
}

std::string PtyPair::start() {
  char path[PATH_MAX] = {};
  if (openpty(&master_, &slave_, path, nullptr, nullptr) != 0) return failure("openpty");
  slavePath_ = path;
  if (!makeRaw(master_) || !makeRaw(slave_)) return failure("raw mode");
  if (getcwd(path, sizeof path) == nullptr) return failure("getcwd");
  char pattern[] = "/tmp/dorvik-link-XXXXXX";
  if (mkdtemp(pattern) == nullptr) return failure("mkdtemp");
  folder_ = pattern;
  if (chdir(folder_.c_str()) != 0) return failure("chdir");
  previousFolder_ = path;
  if (symlink(slavePath_.c_str(), "COM1") != 0) return failure("symlink COM1");
  return {};
}

bool PtyPair::makeSlaveCooked() {
  termios attributes{};
  if (tcgetattr(slave_, &attributes) != 0) return false;
  attributes.c_iflag |= ICRNL | IXON;
  attributes.c_oflag |= OPOST | ONLCR;
  attributes.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
  return tcsetattr(slave_, TCSANOW, &attributes) == 0;
}

bool PtyPair::send(const std::string& bytes) {
  return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string PtyPair::receive(std::size_t count, int timeoutMs) {
  std::string bytes;
  while (bytes.size() < count) {
    pollfd entry{master_, POLLIN, 0};
    if (poll(&entry, 1, timeoutMs) <= 0) break;
    char chunk[256];
    const ssize_t got = read(master_, chunk, std::min(sizeof chunk, count - bytes.size()));
    if (got <= 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  return bytes;
}

void PtyPair::closeMaster() {
  if (master_ < 0) return;
  close(master_);
  master_ = -1;
}
