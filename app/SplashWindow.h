// SplashWindow: bitmap 189 on screen while the main window initialises. No timer, no reaction
// to keys or clicks: it stays exactly until hide(). One at a time.
#pragma once

#include <memory>

#include "platform/Desktop.h"

class SplashWindow {
 public:
  static void enable(bool enabled);
  static void show(platform::Desktop& desktop, platform::Window* parent);
  static void hide();

  static bool isShown();

 private:
  explicit SplashWindow(std::unique_ptr<platform::SplashScreen> screen) : screen_(std::move(screen)) {}

  static bool splashEnabled;
  static std::unique_ptr<SplashWindow> splashInstance;

  std::unique_ptr<platform::SplashScreen> screen_;
};
