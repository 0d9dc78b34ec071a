#include "FuzzSupport.h"
#include "link/SerialLink.h"
#include "protocol/CommandText.h"
#include "support/Globals.h"
#include "ui/ProgressDialog.h"

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

bool ScriptedPort::getState(LineSettings& settings) {
  settings = settings_;
  return true;
}

bool ScriptedPort::setState(const LineSettings& settings) {
  settings_ = settings;
  return true;
}

bool ScriptedPort::writeByte(std::uint8_t value) {
  if (value == '\r' && nextReply_ < replies_.size()) pending_ += replies_[nextReply_++];
  return true;
}

int ScriptedPort::readByte(int timeoutMs) {
  if (nextByte_ < pending_.size()) return static_cast<std::uint8_t>(pending_[nextByte_++]);
  if (failAtEnd_ && nextReply_ == replies_.size()) return kReadFailed;
  nowMs_ += timeoutMs > 0 ? timeoutMs : kUnlimitedWaitCapMs;
  return kReadTimedOut;
}

std::vector<std::string> splitReplies(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> replies(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF) {
      replies.emplace_back();
    } else {
      replies.back().push_back(static_cast<char>(data[i]));
    }
  }
  return replies;
}

Session::Session(std::vector<std::string> replies, bool failAtEnd) {
  serialLink.setPort(std::make_unique<ScriptedPort>(std::move(replies), failAtEnd));
  serialLink.open(0, 9600, 0);
  progressDialog.attach(&desktop);
  dialog = std::make_unique<ExplorerDialog>(desktop);
  window = &desktop.open(*dialog);
}

Session::~Session() { resetGlobals(); }

}  // namespace fuzz
