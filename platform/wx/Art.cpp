#include "platform/wx/Art.h"

#include <wx/dcmemory.h>
#include <wx/font.h>
#include <wx/icon.h>

#include "res/Resources.h"

#include "res/art/film_strip_16.xpm"
#include "res/art/logo_66x55.xpm"
#include "res/art/loudspeaker_16.xpm"
#include "res/art/no_entry_16.xpm"
#include "res/art/note_pad_16.xpm"
#include "res/art/splash_band.xpm"
#include "res/art/unit_16.xpm"
#include "res/art/unit_32.xpm"
#include "res/art/window_gear_16.xpm"

namespace wxui {
namespace {

void drawText(wxDC& dc, const wxString& text, int pixelHeight, bool bold, const wxColour& colour, int x, int y) {
  wxFontInfo info(wxSize(0, pixelHeight));
  info.Family(wxFONTFAMILY_SWISS).Bold(bold);
  dc.SetFont(wxFont(info));
  dc.SetTextForeground(colour);
  dc.DrawText(text, x, y);
}

// The splash picture: a blue gradient, a film strip along the bottom edge, the logo and the
// product's name. Drawn once into a bitmap of the fixed size the splash window takes.
wxBitmap composeSplash() {
  wxBitmap picture(kSplashWidth, kSplashHeight, 24);
  wxMemoryDC dc(picture);
  dc.GradientFillLinear(wxRect(0, 0, kSplashWidth, kSplashHeight), wxColour(0x13, 0x29, 0x4B),
                        wxColour(0x2B, 0x5C, 0x9E), wxEAST);

  const wxBitmap band(splash_band_xpm);
  const int bandTop = kSplashHeight - band.GetHeight();
  for (int x = 0; x < kSplashWidth; x += band.GetWidth()) dc.DrawBitmap(band, x, bandTop);

  const wxBitmap logo(logo_66x55_xpm);
  dc.DrawBitmap(logo, 24, (bandTop - logo.GetHeight()) / 2);

  const wxColour pale(0xC9, 0xD6, 0xE8);
  drawText(dc, "Dorvik Explorer", 34, true, *wxWHITE, 108, 16);
  drawText(dc, "Clip manager for video playback units", 15, false, pale, 110, 60);
  drawText(dc, "Version 1 (Build 1003)", 12, false, pale, 110, 84);
  dc.SelectObject(wxNullBitmap);
  return picture;
}

}  // namespace

wxBitmap artBitmap(int id) {
  switch (id) {
    case res::IDR_MAINFRAME: return wxBitmap(unit_32_xpm);
    case res::IDI_VIDEO: return wxBitmap(film_strip_16_xpm);
    case res::IDI_SOUND: return wxBitmap(loudspeaker_16_xpm);
    case res::IDI_PLAYLIST: return wxBitmap(note_pad_16_xpm);
    case res::IDI_COMMAND: return wxBitmap(window_gear_16_xpm);
    case res::IDI_OTHER: return wxBitmap(no_entry_16_xpm);
    case res::IDB_LOGO: return wxBitmap(logo_66x55_xpm);
    case res::IDB_SPLASH: return composeSplash();
    default: return wxNullBitmap;
  }
}

wxIconBundle mainIcons() {
  wxIconBundle icons;
  icons.AddIcon(wxIcon(unit_16_xpm));
  icons.AddIcon(wxIcon(unit_32_xpm));
  return icons;
}

}  // namespace wxui
