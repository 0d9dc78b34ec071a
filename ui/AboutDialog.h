// AboutDialog (template 100): product name, version, notices, and "Get Firmware Rev.", which
// sends "?V" straight over the serial link and shows the first nine of the ten reply bytes.
#pragma once

#include "platform/Desktop.h"

class AboutDialog {
 public:
  static constexpr int kRevisionTimeoutMs = 7000;

  // Binds control 1028 (data exchange).
  void attach(platform::Control* revision) { revisionDisplay = revision; }
  void onGetFirmwareRevision(platform::Desktop& desktop);

  platform::Control* revisionDisplay = nullptr;
};
