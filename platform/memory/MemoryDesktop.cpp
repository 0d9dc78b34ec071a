#include "platform/memory/MemoryDesktop.h"

#include "app/PortSelectDialog.h"
#include "res/Resources.h"
#include "ui/AboutDialog.h"
#include "ui/SplashWindow.h"

namespace platform::memory {

MemoryProgressWindow::~MemoryProgressWindow() {
  if (desktop_.progress_ == this) desktop_.progress_ = nullptr;
  desktop_.record({Shown::ProgressDestroyed});
}

void MemoryProgressWindow::setRange(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
}

int MemoryProgressWindow::stepIt() {
  const int previous = pos_;
  pos_ += step_;
  if (pos_ > upper_ && upper_ > lower_) pos_ = lower_ + (pos_ - lower_) % (upper_ - lower_);
  return previous;
}

void MemoryProgressWindow::setPercentText(const std::string& text) {
  percent_ = text;
  ++percentWrites_;
  desktop_.percentHistory.push_back(text);
}

// Recorded as it comes and goes; destroyed while set aside, it goes without a second record.
class MemorySplash : public SplashScreen {
 public:
  MemorySplash(MemoryDesktop& desktop, int bitmapId) : desktop_(desktop), bitmapId_(bitmapId) {}
  ~MemorySplash() override {
    if (visible_) desktop_.record({Shown::SplashHidden});
  }
  void setVisible(bool visible) override {
    visible_ = visible;
    desktop_.record({visible ? Shown::SplashShown : Shown::SplashHidden, visible ? bitmapId_ : 0});
  }

 private:
  MemoryDesktop& desktop_;
  int bitmapId_;
  bool visible_ = true;
};

MemoryExplorerWindow::MemoryExplorerWindow(FocusTracker& focus)
    : removableList(focus, "removableList"),
      internalList(focus, "internalList"),
      removableSummary(focus, "removableSummary"),
      internalSummary(focus, "internalSummary"),
      toInternalButton(focus, "toInternalButton"),
      toRemovableButton(focus, "toRemovableButton"),
      loopClipCheck(focus, "loopClipCheck"),
      playButton(focus, "playButton"),
      stillButton(focus, "stillButton"),
      stopButton(focus, "stopButton"),
      aboutButton(focus, "aboutButton") {
  toInternalButton.setText("-->");
  toRemovableButton.setText("<--");
  loopClipCheck.setText("Loop Clip");
}

ExplorerControls MemoryExplorerWindow::controls() {
  return ExplorerControls{&window,          &removableList,    &internalList,      &removableSummary,
                          &internalSummary, &toInternalButton, &toRemovableButton, &loopClipCheck};
}

MemoryDesktop::MemoryDesktop() = default;
MemoryDesktop::~MemoryDesktop() = default;

void MemoryDesktop::record(Shown entry) {
  entry.atMs = nowMs_ ? nowMs_() : 0;
  shown_.push_back(std::move(entry));
}

std::vector<Shown> MemoryDesktop::shownOf(Shown::Kind kind) const {
  std::vector<Shown> result;
  for (const auto& entry : shown_) {
    if (entry.kind == kind) result.push_back(entry);
  }
  return result;
}

int MemoryDesktop::nextAnswer(int fallback) {
  if (answers_.empty()) {
    ++unanswered_;
    return fallback;
  }
  const int result = answers_.front();
  answers_.pop_front();
  return result;
}

int MemoryDesktop::messageBox(const std::string& text, const std::string& caption, unsigned style) {
  const SplashWindow::SetAside aside;
  record({Shown::MessageBox, 0, text, caption, style});
  const bool yesNo = (style & 0xF) == MB_YESNO;
  return nextAnswer(yesNo ? IDNO : IDOK);
}

int MemoryDesktop::runTemplateDialog(int templateId) {
  const SplashWindow::SetAside aside;
  record({Shown::Dialog, templateId, std::string(res::dialogTemplate(templateId).caption)});
  return nextAnswer(templateId == res::IDD_COMM_ERROR ? IDCANCEL : IDOK);
}

int MemoryDesktop::runPortSelect(PortSelectDialog& dialog) {
  const SplashWindow::SetAside aside;
  record({Shown::Dialog, res::IDD_PORT_SELECT, "Please Choose A COM Port"});
  MemoryControl com1(focus, "COM 1"), com2(focus, "COM 2"), com3(focus, "COM 3"), com4(focus, "COM 4");
  Control* const radios[4] = {&com1, &com2, &com3, &com4};
  dialog.onInitDialog(radios);
  int checked = 0;
  for (int i = 0; i < 4; ++i) {
    if (radios[i]->isChecked()) checked = res::IDC_COM1 + i;
  }
  portDialogChecks.push_back(checked);
  if (portAnswers_.empty()) {
    ++unanswered_;
    return IDCANCEL;
  }
  const auto [clickId, result] = portAnswers_.front();
  portAnswers_.pop_front();
  if (clickId != 0) {
    for (int i = 0; i < 4; ++i) radios[i]->setCheck(res::IDC_COM1 + i == clickId);
    dialog.onRadioClicked(clickId);
  }
  return result;
}

int MemoryDesktop::runAbout(AboutDialog& dialog) {
  const SplashWindow::SetAside aside;
  record({Shown::Dialog, res::IDD_ABOUTBOX, "About Dorvik Explorer"});
  MemoryControl revision(focus, "revisionDisplay");
  dialog.attach(&revision);
  if (!aboutActions_.empty()) {
    auto action = std::move(aboutActions_.front());
    aboutActions_.pop_front();
    action(dialog);
  }
  revisionShown = revision.text();
  dialog.attach(nullptr);
  return IDOK;
}

MemoryExplorerWindow& MemoryDesktop::open(ExplorerDialog& dialog) {
  explorer_ = std::make_unique<MemoryExplorerWindow>(focus);
  auto& window = *explorer_;
  window.removableList.onFocus = [&dialog] { dialog.onRemovableListFocus(); };
  window.internalList.onFocus = [&dialog] { dialog.onInternalListFocus(); };
  window.removableList.onBeginEdit = [&dialog] { dialog.onBeginLabelEdit(Removable); };
  window.internalList.onBeginEdit = [&dialog] { dialog.onBeginLabelEdit(Internal); };
  window.removableList.onEndEdit = [&dialog](bool cancelled) { dialog.onEndLabelEdit(Removable, cancelled); };
  window.internalList.onEndEdit = [&dialog](bool cancelled) { dialog.onEndLabelEdit(Internal, cancelled); };
  dialog.attach(window.controls());
  return window;
}

int MemoryDesktop::runExplorer(ExplorerDialog& dialog) {
  ++explorerRuns_;
  auto& window = open(dialog);
  dialog.onInitDialog();
  window.removableList.setFocus();  // the first tab stop gets the focus
  if (session_) session_(dialog, window);
  return IDCANCEL;
}

void MemoryDesktop::beginWaitCursor() {
  ++cursorDepth_;
  record({Shown::CursorBegin});
}

void MemoryDesktop::endWaitCursor() {
  --cursorDepth_;
  record({Shown::CursorEnd});
}

int MemoryDesktop::trackPopupMenu(int menuId, int x, int y) {
  Shown entry{Shown::Menu, menuId};
  entry.x = x;
  entry.y = y;
  record(entry);
  if (menuAnswers_.empty()) return 0;
  const int command = menuAnswers_.front();
  menuAnswers_.pop_front();
  return command;
}

Window* MemoryDesktop::mainWindow() { return explorer_ ? &explorer_->window : nullptr; }

std::unique_ptr<ProgressWindow> MemoryDesktop::createProgressWindow() {
  return adoptProgress(std::make_unique<MemoryProgressWindow>(*this));
}

std::unique_ptr<ProgressWindow> MemoryDesktop::adoptProgress(std::unique_ptr<MemoryProgressWindow> window) {
  if (progressFails_) return nullptr;
  progress_ = window.get();
  record({Shown::ProgressCreated});
  return window;
}

std::unique_ptr<SplashScreen> MemoryDesktop::createSplash(int bitmapId, Window*) {
  if (splashFails_) return nullptr;
  record({Shown::SplashShown, bitmapId});
  return std::make_unique<MemorySplash>(*this, bitmapId);
}

}  // namespace platform::memory
