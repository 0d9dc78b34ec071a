// The two windows the logic creates and destroys itself: the progress window of a directory
// upload (template 112) and the start-up splash.
#pragma once

#include <memory>

#include "platform/Desktop.h"

class wxBitmap;
class wxWindow;

namespace wxui {

// Modeless, owned by owner (the main window); shown and painted before it returns.
std::unique_ptr<platform::ProgressWindow> createProgressWindow(wxWindow* owner);

// Borderless, exactly as large as picture, centred over a visible owner or else on the
// screen, raised and painted before it returns. nullptr when picture is invalid.
std::unique_ptr<platform::SplashScreen> createSplash(const wxBitmap& picture, wxWindow* owner);

// Dispatches every pending event without waiting (and without nesting into a dispatch that
// is already running).
void dispatchPendingEvents();

}  // namespace wxui
