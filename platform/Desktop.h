// The platform services of the application: message boxes, the modal dialogs, the wait
// cursor, the message pump, popup menus, and the windows that the logic creates (progress
// window, splash). One implementation per front-end: platform/wx/ (Linux), platform/win32/
// (Windows) and platform/memory/ (tests, and beneath `dorvik`'s console desktop in cli/).
#pragma once

#include <memory>
#include <string>

#include "platform/Views.h"

class AboutDialog;
class ExplorerDialog;
class PortSelectDialog;

namespace platform {

// MessageBox styles and results (Win32 values).
enum MessageBoxStyle : unsigned {
  MB_OK = 0x0,
  MB_YESNO = 0x4,
  MB_ICONQUESTION = 0x20,
  MB_ICONEXCLAMATION = 0x30,
};
enum DialogResult : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// The window of dialog template 112: a progress bar and a percentage text.
class ProgressWindow : public Window {
 public:
  virtual void setCaption(const std::string& caption) = 0;
  virtual void setRange(int lower, int upper) = 0;
  virtual void setStep(int step) = 0;
  virtual void setPos(int position) = 0;
  // Moves the bar by its step, starting over from the lower bound when it passes the upper
  // one (PBM_STEPIT); returns the position before the step.
  virtual int stepIt() = 0;
  virtual std::string percentText() const = 0;
  virtual void setPercentText(const std::string& text) = 0;
};

// A borderless window showing one bitmap, centred on the screen (or its visible owner).
// setVisible(false) takes it off the screen without destroying it; true shows and paints it
// again.
class SplashScreen {
 public:
  virtual ~SplashScreen() = default;
  virtual void setVisible(bool visible) = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;

  // MessageBoxA owned by the main window: returns IDOK, IDYES or IDNO.
  virtual int messageBox(const std::string& text, const std::string& caption, unsigned style) = 0;

  // Modal dialogs built from their templates; each returns IDOK or IDCANCEL.
  virtual int runPortSelect(PortSelectDialog& dialog) = 0;
  virtual int runTemplateDialog(int templateId) = 0;  // 144 and 149: no behaviour of their own
  virtual int runAbout(AboutDialog& dialog) = 0;
  // Builds the main window from template 102, binds it to dialog (attach), runs onInitDialog
  // and the modal loop until the window ends.
  virtual int runExplorer(ExplorerDialog& dialog) = 0;

  virtual void beginWaitCursor() = 0;
  virtual void endWaitCursor() = 0;

  // Dispatches every pending window message without waiting.
  virtual void processPendingMessages() = 0;

  // Shows popup menu 111 or 112 at screen point x, y; returns the chosen command, 0 if none.
  virtual int trackPopupMenu(int menuId, int x, int y) = 0;

  // The main window (nullptr before it exists) and the window a new modeless dialog would
  // be owned by: the most recently active popup of the main window, else the main window.
  virtual Window* mainWindow() = 0;
  virtual Window* activePopup() = 0;

  // nullptr when the window could not be created.
  virtual std::unique_ptr<ProgressWindow> createProgressWindow() = 0;
  virtual std::unique_ptr<SplashScreen> createSplash(int bitmapId, Window* parent) = 0;

  // Shift key state (GetKeyState(VK_SHIFT) high bit).
  virtual bool isShiftDown() const = 0;
};

}  // namespace platform
