// The platform services on plain Win32: dialogs from the program's templates, MessageBoxA,
// the wait cursor, the message pump, TrackPopupMenu, the progress window and the splash.
#pragma once

#include "platform/win32/Windows.h"

#include <functional>

#include "platform/Desktop.h"

namespace win32ui {

class ExplorerWindow;

// A modal dialog built from a template: its owner, what it does when it opens, and its
// buttons' commands (true when handled; OK and Cancel otherwise end it with their ID).
struct ModalDialog {
  ModalDialog(int templateId, HWND owner) : templateId(templateId), owner(owner) {}
  int templateId;
  HWND owner;
  std::function<void(HWND)> onInit;
  std::function<bool(HWND, int id, int code)> onCommand;
};
int runModal(const ModalDialog& dialog);

class Win32Desktop : public platform::Desktop {
 public:
  int messageBox(const std::string& text, const std::string& caption, unsigned style) override;
  int runPortSelect(PortSelectDialog& dialog) override;
  int runTemplateDialog(int templateId) override;
  int runAbout(AboutDialog& dialog) override;
  int runExplorer(ExplorerDialog& dialog) override;
  void beginWaitCursor() override;
  void endWaitCursor() override;
  void processPendingMessages() override;
  int trackPopupMenu(int menuId, int x, int y) override;
  platform::Window* mainWindow() override;
  platform::Window* activePopup() override { return mainWindow(); }
  std::unique_ptr<platform::ProgressWindow> createProgressWindow() override;
  std::unique_ptr<platform::SplashScreen> createSplash(int bitmapId, platform::Window* parent) override;
  bool isShiftDown() const override { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }

  // For a window's WM_SETCURSOR: while a wait runs, puts the wait cursor back (the system
  // would show the window's class cursor at the next move of the mouse) and returns true.
  bool holdWaitCursor() const;

 private:
  HWND owner() const;

  ExplorerWindow* explorer_ = nullptr;
  int waitDepth_ = 0;
};

// Dispatches one message as the windows' own loops would: a dialog's keys go to the dialog.
void dispatch(MSG& message);

}  // namespace win32ui
