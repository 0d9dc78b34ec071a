#include "platform/win32/Art.h"

#include "res/Resources.h"

namespace win32ui {
namespace {

void drawText(HDC dc, const char* text, int pixelHeight, bool bold, COLORREF colour, int x, int y) {
  HFONT font =
      CreateFontA(-pixelHeight, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                  OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial");
  HGDIOBJ old = SelectObject(dc, font);
  SetTextColor(dc, colour);
  TextOutA(dc, x, y, text, lstrlenA(text));
  SelectObject(dc, old);
  DeleteObject(font);
}

SIZE sizeOf(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  return {info.bmWidth, info.bmHeight};
}

// The colour the build flattens the logo's transparent corners onto (platform/win32/CMakeLists.txt),
// a colour the logo itself never uses.
constexpr COLORREF kLogoBackground = RGB(0xF0, 0xF0, 0xF0);

// Draws bitmap at x, y; with a key colour, the pixels of that colour are left out.
void drawBitmap(HDC dc, HBITMAP bitmap, int x, int y, const COLORREF* key = nullptr) {
  const SIZE size = sizeOf(bitmap);
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, bitmap);
  if (key) {
    GdiTransparentBlt(dc, x, y, size.cx, size.cy, source, 0, 0, size.cx, size.cy, *key);
  } else {
    BitBlt(dc, x, y, size.cx, size.cy, source, 0, 0, SRCCOPY);
  }
  SelectObject(source, old);
  DeleteDC(source);
}

}  // namespace

HBITMAP composeSplash() {
  HINSTANCE module = GetModuleHandleA(nullptr);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP picture = CreateCompatibleBitmap(screen, kSplashWidth, kSplashHeight);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, picture);

  // From dark to lighter blue, left to right.
  for (int x = 0; x < kSplashWidth; ++x) {
    const auto mix = [x](int from, int to) { return from + (to - from) * x / (kSplashWidth - 1); };
    HBRUSH brush = CreateSolidBrush(RGB(mix(0x13, 0x2B), mix(0x29, 0x5C), mix(0x4B, 0x9E)));
    const RECT column{x, 0, x + 1, kSplashHeight};
    FillRect(dc, &column, brush);
    DeleteObject(brush);
  }
  HBITMAP band = LoadBitmapA(module, MAKEINTRESOURCEA(IDB_SPLASH_BAND));
  const SIZE bandSize = sizeOf(band);
  const int bandTop = kSplashHeight - bandSize.cy;
  for (int x = 0; x < kSplashWidth; x += bandSize.cx) drawBitmap(dc, band, x, bandTop);
  DeleteObject(band);
  HBITMAP logo = LoadBitmapA(module, MAKEINTRESOURCEA(res::IDB_LOGO));
  drawBitmap(dc, logo, 24, (bandTop - sizeOf(logo).cy) / 2, &kLogoBackground);  // no grey corners on the blue
  DeleteObject(logo);

  SetBkMode(dc, TRANSPARENT);
  const COLORREF pale = RGB(0xC9, 0xD6, 0xE8);
  drawText(dc, "Dorvik Explorer", 34, true, RGB(255, 255, 255), 108, 16);
  drawText(dc, "Clip manager for video playback units", 15, false, pale, 110, 60);
  drawText(dc, "Version 1 (Build 1003)", 12, false, pale, 110, 84);
  SelectObject(dc, old);
  DeleteDC(dc);
  return picture;
}

}  // namespace win32ui
