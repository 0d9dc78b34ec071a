// The two communication dialogs, shown by the command transaction only: "Communications
// Error!" (template 144: Retry, Cancel) and "Communications Failed!" (template 149: Continue).
// They have no behaviour beyond the standard: IDOK ends with 1, IDCANCEL (or Escape) with 2.
#pragma once

#include "platform/Desktop.h"
#include "res/Resources.h"

class CommErrorDialog {
 public:
  int doModal(platform::Desktop& desktop) { return desktop.runTemplateDialog(res::IDD_COMM_ERROR); }
};

class CommFailedDialog {
 public:
  int doModal(platform::Desktop& desktop) { return desktop.runTemplateDialog(res::IDD_COMM_FAILED); }
};

extern CommErrorDialog commErrorDialog;
extern CommFailedDialog commFailedDialog;
