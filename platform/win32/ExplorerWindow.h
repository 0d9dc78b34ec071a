// The main window on Win32: dialog template 102 created modeless, so that its own message
// loop can show each key to the logic's preTranslateMessage first, and its controls' messages
// routed to the handlers of ExplorerDialog (the message table).
#pragma once

#include "platform/win32/Windows.h"

#include "platform/win32/Views.h"
#include "protocol/DriveKind.h"

class ExplorerDialog;

namespace win32ui {

class Win32Desktop;

class ExplorerWindow {
 public:
  ExplorerWindow(ExplorerDialog& logic, const Win32Desktop& desktop);
  ~ExplorerWindow();
  ExplorerWindow(const ExplorerWindow&) = delete;
  ExplorerWindow& operator=(const ExplorerWindow&) = delete;

  // Builds the window, reads the drives while it is hidden, shows it and runs it until it
  // ends; returns IDOK or IDCANCEL.
  int run();
  HWND handle() const { return window_; }
  platform::Window& window() { return windowView_; }

 private:
  static INT_PTR CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR onMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCommand(int id);
  LRESULT onNotify(const NMHDR& header);
  bool preTranslate(const MSG& message);
  void end(int result);
  DriveKind driveOf(UINT_PTR controlId) const;
  Win32ListView& listOf(DriveKind drive) { return drive == Internal ? internalList_ : removableList_; }

  ExplorerDialog& logic_;
  const Win32Desktop& desktop_;
  HWND window_ = nullptr;
  Win32Window windowView_{nullptr};
  Win32ListView removableList_{nullptr};
  Win32ListView internalList_{nullptr};
  Win32Control removableSummary_{nullptr};
  Win32Control internalSummary_{nullptr};
  Win32Control toInternalButton_{nullptr};
  Win32Control toRemovableButton_{nullptr};
  Win32Control loopClipCheck_{nullptr};
  bool running_ = false;
  int result_ = IDCANCEL;
};

}  // namespace win32ui
