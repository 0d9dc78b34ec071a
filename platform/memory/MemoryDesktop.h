// MemoryDesktop: the platform services for tests, and the base of `dorvik`'s console desktop
// (cli/ConsoleDesktop.h). A scripted user answers every message box and dialog in the order
// the test queued the answers, and everything shown is recorded (with the virtual time it was
// shown at, when a clock is set), so tests assert what a person would have seen.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Desktop.h"
#include "platform/memory/MemoryViews.h"
#include "ui/ExplorerDialog.h"

namespace platform::memory {

// One thing the user was shown or one change of the wait cursor.
struct Shown {
  enum Kind {
    MessageBox,
    Dialog,
    Menu,
    CursorBegin,
    CursorEnd,
    SplashShown,
    SplashHidden,
    ProgressCreated,
    ProgressDestroyed
  };
  Shown(Kind kind, int id = 0, std::string text = {}, std::string caption = {}, unsigned style = 0)
      : kind(kind), id(id), text(std::move(text)), caption(std::move(caption)), style(style) {}

  Kind kind;
  int id = 0;  // dialog template or menu ID
  std::string text;
  std::string caption;
  unsigned style = 0;
  int x = 0, y = 0;  // menu position
  std::int64_t atMs = 0;
};

class MemoryDesktop;

class MemoryProgressWindow : public ProgressWindow {
 public:
  explicit MemoryProgressWindow(MemoryDesktop& desktop) : desktop_(desktop) {}
  ~MemoryProgressWindow() override;  // the window is destroyed: the desktop records it

  void enable(bool enabled) override { enabled_ = enabled; }
  bool isEnabled() const override { return enabled_; }
  void update() override {}
  void clientOrigin(int& x, int& y) const override { x = y = 0; }
  void setCaption(const std::string& caption) override { caption_ = caption; }
  void setRange(int lower, int upper) override;
  void setStep(int step) override { step_ = step; }
  void setPos(int position) override { pos_ = position; }
  int stepIt() override;
  std::string percentText() const override { return percent_; }
  void setPercentText(const std::string& text) override;

  const std::string& caption() const { return caption_; }
  int pos() const { return pos_; }
  int percentWrites() const { return percentWrites_; }

 private:
  MemoryDesktop& desktop_;
  bool enabled_ = true;
  std::string caption_;
  int lower_ = 0, upper_ = 100, step_ = 10, pos_ = 0;
  std::string percent_ = " 0 %";
  int percentWrites_ = 0;
};

// The explorer window's controls (template 102).
struct MemoryExplorerWindow {
  explicit MemoryExplorerWindow(FocusTracker& focus);
  ExplorerControls controls();

  MemoryWindow window;
  MemoryListView removableList;
  MemoryListView internalList;
  MemoryControl removableSummary;
  MemoryControl internalSummary;
  MemoryControl toInternalButton;
  MemoryControl toRemovableButton;
  MemoryControl loopClipCheck;
  MemoryControl playButton, stillButton, stopButton, aboutButton;
};

class MemoryDesktop : public Desktop {
 public:
  MemoryDesktop();
  ~MemoryDesktop() override;

  // --- The scripted user ---
  // Next message box or template dialog (144, 149) answers with result, in queue order.
  void answer(int result) { answers_.push_back(result); }
  // Next port dialog: clicks radio control clickId (0: no click), then ends with result.
  void answerPortSelect(int clickId, int result) { portAnswers_.push_back({clickId, result}); }
  // Next popup menu: chooses command (0: dismissed).
  void chooseMenu(int command) { menuAnswers_.push_back(command); }
  // What the user does inside the next about box before closing it.
  void inAboutBox(std::function<void(AboutDialog&)> action) { aboutActions_.push_back(std::move(action)); }
  // What the user does in the main window once it is initialised, before it ends.
  void inExplorer(std::function<void(ExplorerDialog&, MemoryExplorerWindow&)> session) {
    session_ = std::move(session);
  }
  // Stamps what is shown with this clock (virtual milliseconds).
  void setClock(std::function<std::int64_t()> nowMs) { nowMs_ = std::move(nowMs); }
  void failSplash() { splashFails_ = true; }
  void failProgressWindow() { progressFails_ = true; }
  void setShiftDown(bool down) { shiftDown_ = down; }

  // Builds the explorer window's controls and binds dialog to them, without initialising.
  MemoryExplorerWindow& open(ExplorerDialog& dialog);

  // --- What was shown ---
  const std::vector<Shown>& shown() const { return shown_; }
  std::vector<Shown> shownOf(Shown::Kind kind) const;
  int cursorDepth() const { return cursorDepth_; }
  int unansweredCount() const { return unanswered_; }  // boxes or dialogs nobody scripted
  MemoryExplorerWindow* explorer() { return explorer_.get(); }
  MemoryProgressWindow* progress() { return progress_; }
  std::vector<std::string> percentHistory;  // every percentage text a progress window showed
  FocusTracker focus;
  std::string revisionShown;          // what the last about box's field held at close
  std::vector<int> portDialogChecks;  // radio control checked when each port dialog opened

  // --- Desktop ---
  int messageBox(const std::string& text, const std::string& caption, unsigned style) override;
  int runPortSelect(PortSelectDialog& dialog) override;
  int runTemplateDialog(int templateId) override;
  int runAbout(AboutDialog& dialog) override;
  int runExplorer(ExplorerDialog& dialog) override;
  void beginWaitCursor() override;
  void endWaitCursor() override;
  void processPendingMessages() override { ++pumps_; }
  int trackPopupMenu(int menuId, int x, int y) override;
  Window* mainWindow() override;
  Window* activePopup() override { return mainWindow(); }
  std::unique_ptr<ProgressWindow> createProgressWindow() override;
  std::unique_ptr<SplashScreen> createSplash(int bitmapId, Window* parent) override;
  bool isShiftDown() const override { return shiftDown_; }

  int pumps() const { return pumps_; }
  int explorerRuns() const { return explorerRuns_; }

 protected:
  // Makes window the progress window shown (a derived desktop's own kind of it).
  std::unique_ptr<ProgressWindow> adoptProgress(std::unique_ptr<MemoryProgressWindow> window);

 private:
  void record(Shown entry);
  int nextAnswer(int fallback);

  friend class MemoryProgressWindow;
  friend class MemorySplash;

  std::deque<int> answers_;
  std::deque<std::pair<int, int>> portAnswers_;
  std::deque<int> menuAnswers_;
  std::deque<std::function<void(AboutDialog&)>> aboutActions_;
  std::function<void(ExplorerDialog&, MemoryExplorerWindow&)> session_;
  std::function<std::int64_t()> nowMs_;
  std::vector<Shown> shown_;
  std::unique_ptr<MemoryExplorerWindow> explorer_;
  MemoryProgressWindow* progress_ = nullptr;
  int cursorDepth_ = 0;
  int unanswered_ = 0;
  int pumps_ = 0;
  int explorerRuns_ = 0;
  bool splashFails_ = false;
  bool progressFails_ = false;
  bool shiftDown_ = false;
};

}  // namespace platform::memory
