// The program's icons and bitmaps by resource ID, from the XPM artwork in res/art/.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

namespace wxui {

constexpr int kSplashWidth = 498;
constexpr int kSplashHeight = 130;

// Icons 138, 139, 163, 164, 192 (16 x 16), 128 (32 x 32), bitmaps 147 (66 x 55) and 189
// (498 x 130, composed here: the product's name is drawn, not stored as pixels). An invalid
// bitmap for any other ID.
wxBitmap artBitmap(int id);

// Icon 128 in both sizes, for the main window's caption and its minimised form.
wxIconBundle mainIcons();

}  // namespace wxui
