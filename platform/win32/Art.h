// Resource IDs of the art only this front-end needs, beside the program's own (res/), and the
// splash picture composed from them.
#pragma once

#define IDB_SPLASH_BAND 190
#define IDR_MANIFEST 1

#ifndef RC_INVOKED
#include "platform/win32/Windows.h"

namespace win32ui {

constexpr int kSplashWidth = 498;
constexpr int kSplashHeight = 130;

// A blue gradient, the film strip along the bottom edge, the logo and the product's name.
HBITMAP composeSplash();

}  // namespace win32ui
#endif
