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

  // Held by the front-ends around each modal box: while a box is up during start-up the
  // splash is off the screen, so that no window manager can stack it over the box. It comes
  // back afterwards if it is still wanted (not hidden meanwhile).
  class SetAside {
   public:
    SetAside();
    ~SetAside();
    SetAside(const SetAside&) = delete;
    SetAside& operator=(const SetAside&) = delete;

   private:
    bool setAside_ = false;
  };

 private:
  explicit SplashWindow(std::unique_ptr<platform::SplashScreen> screen) : screen_(std::move(screen)) {}
  void setVisible(bool visible);

  static bool splashEnabled;
  static std::unique_ptr<SplashWindow> splashInstance;

  std::unique_ptr<platform::SplashScreen> screen_;
  bool visible_ = true;
};
