// The platform services of `dorvik`: the window's logic runs on in-memory controls, and what
// it would show in a box goes to standard error instead. A question is answered by --yes (its
// own confirmation only), at the terminal, or with No; the first failure shown decides the
// exit status.
#pragma once

#include <chrono>
#include <string>

#include "platform/memory/MemoryDesktop.h"
#include "ui/ExplorerDialog.h"

namespace cli {

enum ExitStatus : int { kDone = 0, kNotDone = 1, kUsage = 2, kPortClosed = 3, kNoAnswer = 4, kRefused = 5 };

class ConsoleDesktop : public platform::memory::MemoryDesktop {
 public:
  // confirmedCaption: the caption of the one question --yes answers ("Delete File(s)"...).
  ConsoleDesktop(bool yes, std::string confirmedCaption);

  // The status of the first failure shown, kDone when none was.
  ExitStatus status() const { return status_; }
  // Records a failure found outside the window's logic.
  void fail(ExitStatus status, const std::string& text);
  // The window whose logic runs here: its boxes of the unit's error codes are told by code.
  void watch(const ExplorerDialog& dialog) { dialog_ = &dialog; }
  // The question asked at the terminal in place of the window's own, naming the clip and drive.
  void setPrompt(std::string prompt) { prompt_ = std::move(prompt); }
  // What the unit is busy with ("listing the removable drive"), shown with a bar or the time
  // waited on a terminal.
  void setPhase(std::string phase);
  ~ConsoleDesktop() override { setPhase(""); }
  void processPendingMessages() override;
  bool declined() const { return declined_; }

  int messageBox(const std::string& text, const std::string& caption, unsigned style) override;
  int runTemplateDialog(int templateId) override;
  std::unique_ptr<platform::ProgressWindow> createProgressWindow() override;
  std::unique_ptr<platform::SplashScreen> createSplash(int, platform::Window*) override { return nullptr; }

 private:
  bool ask(const std::string& question);

  const ExplorerDialog* dialog_ = nullptr;
  std::string prompt_;
  std::string phase_;
  std::chrono::steady_clock::time_point phaseStart_;
  bool waitShown_ = false;
  bool yes_;
  std::string confirmedCaption_;
  ExitStatus status_ = kDone;
  bool declined_ = false;
};

// Whether standard input and standard error are terminals (a question can be asked, a
// progress bar drawn).
bool canAsk();
bool drawsProgress();

}  // namespace cli
