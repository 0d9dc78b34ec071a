#include "ui/ProgressDialog.h"

#include <cstdio>

#include "res/Resources.h"

ProgressDialog::~ProgressDialog() { destroy(); }

bool ProgressDialog::createFor(DriveKind drive) {
  captionId = drive == Removable ? res::IDS_UPLOAD_REMOVABLE : res::IDS_UPLOAD_INTERNAL;
  return create(nullptr);
}

bool ProgressDialog::create(platform::Window* parent) {
  if (desktop_ == nullptr) return false;
  // A second window over the first would find the owner already disabled and never
  // re-enable it: the old window goes first, giving the owner back.
  destroy();
  owner = parent != nullptr ? parent : desktop_->activePopup();
  if (owner != nullptr && owner->isEnabled()) {
    owner->enable(false);
    ownerDisabled = 1;
  }
  window_ = desktop_->createProgressWindow();
  if (!window_) {
    reenableOwner();
    return false;
  }
  window_->setRange(rangeLower, rangeUpper);
  window_->setStep(step);
  window_->setPos(rangeLower);
  window_->setCaption(std::string(res::loadString(static_cast<int>(captionId))));
  // The percentage keeps the window's own " 0 %" until the first step.
  return true;
}

// Called as a block ends: the step comes first and the dispatch after it, so that the figure
// of this block is painted now rather than when the next block ends.
int ProgressDialog::advance() {
  if (!window_) return rangeLower;
  const int previous = window_->stepIt();
  showPercent(previous + step);
  processPendingMessages();
  return previous;
}

void ProgressDialog::processPendingMessages() {
  if (desktop_ != nullptr) desktop_->processPendingMessages();
}

void ProgressDialog::showPercent(int position) {
  const std::int64_t span = std::int64_t{rangeUpper} - rangeLower;
  if (!window_ || span <= 0) return;
  auto percent = static_cast<int>((std::int64_t{position} - rangeLower) * 100 / span);
  if (percent != 100) percent %= 100;  // the text wraps with the bar; a full bar shows 100
  char text[16];
  std::snprintf(text, sizeof text, "%d%%", percent);
  // An unchanged text is not set again, so the window does not repaint it.
  if (window_->percentText() != text) window_->setPercentText(text);
}

void ProgressDialog::destroy() {
  reenableOwner();
  owner = nullptr;
  window_.reset();
}

void ProgressDialog::reenableOwner() {
  if (ownerDisabled == 1 && owner != nullptr) owner->enable(true);
  ownerDisabled = 0;
}
