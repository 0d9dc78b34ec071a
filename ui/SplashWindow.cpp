#include "ui/SplashWindow.h"

#include "res/Resources.h"

bool SplashWindow::splashEnabled = false;
std::unique_ptr<SplashWindow> SplashWindow::splashInstance;

void SplashWindow::enable(bool enabled) { splashEnabled = enabled; }

void SplashWindow::show(platform::Desktop& desktop, platform::Window* parent) {
  if (!splashEnabled || splashInstance) return;
  auto screen = desktop.createSplash(res::IDB_SPLASH, parent);
  // No picture or no window: the start-up goes on without a splash, silently.
  if (!screen) return;
  splashInstance.reset(new SplashWindow(std::move(screen)));
}

void SplashWindow::hide() { splashInstance.reset(); }

bool SplashWindow::isShown() { return splashInstance != nullptr; }

void SplashWindow::setVisible(bool visible) {
  screen_->setVisible(visible);
  visible_ = visible;
}

// A box inside a box finds the splash already aside and leaves its return to the outer one.
SplashWindow::SetAside::SetAside() : setAside_(splashInstance && splashInstance->visible_) {
  if (setAside_) splashInstance->setVisible(false);
}

SplashWindow::SetAside::~SetAside() {
  if (setAside_ && splashInstance) splashInstance->setVisible(true);
}
