// The two windows the logic opens besides the dialogs: the progress window of a listing
// (template 112, modeless) and the splash (a borderless popup showing its picture).
#pragma once

#include "platform/win32/Windows.h"

#include <memory>

#include "platform/Desktop.h"

namespace win32ui {

class Win32Desktop;

// The progress window keeps the desktop's wait cursor while the pointer is over it.
std::unique_ptr<platform::ProgressWindow> createProgressWindow(HWND owner, const Win32Desktop& desktop);
std::unique_ptr<platform::SplashScreen> createSplash(HWND owner);

}  // namespace win32ui
