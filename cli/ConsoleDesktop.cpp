#include "cli/ConsoleDesktop.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <iostream>

#include "cli/Text.h"
#include "clips/ClipName.h"
#include "link/SerialLink.h"

namespace cli {
namespace {

std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n') c = ' ';
  }
  return text;
}

using Clock = std::chrono::steady_clock;

long secondsSince(Clock::time_point start) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start).count());
}

// One status line on standard error, redrawn in place and wiped when done.
void drawStatus(const std::string& text) { std::cerr << "\r" << text << "\x1b[K" << std::flush; }
void wipeStatus() { std::cerr << "\r\x1b[K" << std::flush; }

// The listing's progress as a bar after the phase's name, with the time it will still take.
class ConsoleProgress : public platform::memory::MemoryProgressWindow {
 public:
  ConsoleProgress(platform::memory::MemoryDesktop& desktop, std::string phase, Clock::time_point start)
      : MemoryProgressWindow(desktop), phase_(std::move(phase)), start_(start) {}
  ~ConsoleProgress() override { wipeStatus(); }
  void setPercentText(const std::string& text) override {
    MemoryProgressWindow::setPercentText(text);
    const int percent = std::atoi(text.c_str());
    const int filled = percent * kWidth / 100;
    std::string line = phase_ + " [" + std::string(filled, '#') + std::string(kWidth - filled, ' ') + "] " + text;
    if (percent > 0 && percent < 100) {
      line += ", about " + std::to_string(secondsSince(start_) * (100 - percent) / percent) + " s left";
    }
    drawStatus(line);
  }

 private:
  static constexpr int kWidth = 30;
  std::string phase_;
  Clock::time_point start_;
};

}  // namespace

bool canAsk() { return isatty(STDIN_FILENO) && isatty(STDERR_FILENO); }
bool drawsProgress() { return isatty(STDERR_FILENO); }

ConsoleDesktop::ConsoleDesktop(bool yes, std::string confirmedCaption)
    : yes_(yes), confirmedCaption_(std::move(confirmedCaption)) {}

void ConsoleDesktop::fail(ExitStatus status, const std::string& text) {
  tell(text);
  if (status_ == kDone) status_ = status;
}

void ConsoleDesktop::setPhase(std::string phase) {
  if (waitShown_) wipeStatus();
  waitShown_ = false;
  phase_ = std::move(phase);
  phaseStart_ = Clock::now();
}

void ConsoleDesktop::processPendingMessages() {
  MemoryDesktop::processPendingMessages();
  // A wait of more than a moment (a copy's, a format's) shows what it waits for and how long.
  const long waited = secondsSince(phaseStart_);
  if (phase_.empty() || waited < 1 || progress() != nullptr || !drawsProgress()) return;
  drawStatus(phase_ + "... " + std::to_string(waited) + " s");
  waitShown_ = true;
}

bool ConsoleDesktop::ask(const std::string& question) {
  std::cerr << (prompt_.empty() ? oneLine(question) : prompt_) << " [y/N] " << std::flush;
  std::string answer;
  std::getline(std::cin, answer);
  phaseStart_ = Clock::now();  // the wait that follows is the unit's, not the user's
  return answer == "y" || answer == "Y" || answer == "yes";
}

int ConsoleDesktop::messageBox(const std::string& text, const std::string& caption, unsigned style) {
  MemoryDesktop::answer(platform::IDOK);  // keeps the record of what was shown
  MemoryDesktop::messageBox(text, caption, style);
  // The unit's error code in plain words; the box's text is written for the window.
  const reply::ErrorCode* code = dialog_ != nullptr ? dialog_->codeShown : nullptr;
  const auto refused = [&] { fail(kRefused, std::string("error ") + code->digits + ": " + code->plainWords); };
  if ((style & platform::MB_YESNO) != 0) {
    // Only the command's own question takes --yes; any other (a format offered after error
    // 20) is asked at the terminal or answered No.
    const bool confirmed = caption == confirmedCaption_ && yes_;
    const bool agreed = confirmed || (canAsk() && ask(text));
    if (code != nullptr && !agreed) {
      refused();
    } else if (!agreed) {
      declined_ = true;
      fail(kNotDone, "not confirmed: nothing was done");
    }
    return agreed ? platform::IDYES : platform::IDNO;
  }
  if (code != nullptr) {
    refused();
  } else if (caption == ExplorerDialog::kIncompleteCaption) {
    fail(kNoAnswer, oneLine(text.substr(0, text.rfind('\n'))));  // the window's Refresh is no advice here
  } else if (text == kInvalidNameText) {
    fail(kUsage, "invalid name: letters and digits, 1 to 8, then a dot and up to 3");
  } else {
    fail(kNotDone, oneLine(text));
  }
  return platform::IDOK;
}

int ConsoleDesktop::runTemplateDialog(int templateId) {
  MemoryDesktop::answer(platform::IDCANCEL);
  MemoryDesktop::runTemplateDialog(templateId);
  // Both communication dialogs: a script gets no Retry; the status says what happened.
  if (serialLink.isLost()) {
    fail(kPortClosed, "the port went away (its adapter unplugged?)");
  } else {
    fail(kNoAnswer, "no answer from the unit (check the cable, the port and the unit's power)");
  }
  return platform::IDCANCEL;
}

std::unique_ptr<platform::ProgressWindow> ConsoleDesktop::createProgressWindow() {
  if (!drawsProgress()) return MemoryDesktop::createProgressWindow();
  return adoptProgress(std::make_unique<ConsoleProgress>(*this, phase_, phaseStart_));
}

}  // namespace cli
