// ProgressDialog (template 112): the progress of a directory upload, four steps of one from 0
// to 4. While it is up its owner (the main window) is disabled; each step, once taken,
// dispatches the pending window messages, so the new figure is painted at once and the
// windows keep repainting during the blocking transfer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Desktop.h"
#include "protocol/DriveKind.h"

class ProgressDialog {
 public:
  ProgressDialog() = default;
  ~ProgressDialog();  // re-enables the owner if the window still exists

  void attach(platform::Desktop* desktop) { desktop_ = desktop; }
  platform::Desktop* desktop() const { return desktop_; }

  bool createFor(DriveKind drive);
  bool create(platform::Window* parent);
  int advance();
  void processPendingMessages();
  void showPercent(int position);
  void destroy();

  bool isShown() const { return window_ != nullptr; }
  platform::ProgressWindow* window() const { return window_.get(); }

  std::uint32_t captionId = 0;
  std::int32_t rangeLower = 0;
  std::int32_t rangeUpper = 4;
  std::int32_t step = 1;
  std::int32_t ownerDisabled = 0;
  platform::Window* owner = nullptr;

 private:
  void reenableOwner();

  platform::Desktop* desktop_ = nullptr;
  std::unique_ptr<platform::ProgressWindow> window_;
};

extern ProgressDialog progressDialog;
