// PortSelectDialog (template 143): four radio buttons COM 1..COM 4, OK and Exit. A click on a
// button writes the application's port index at once; nothing is validated.
#pragma once

#include <cstdint>

#include "platform/Views.h"

class PortSelectDialog {
 public:
  explicit PortSelectDialog(std::int32_t& portIndex) : portIndex_(portIndex) {}

  // Checks "COM 2" (radioButtons: the controls 1007..1010 in order).
  void onInitDialog(platform::Control* const radioButtons[4]);
  // BN_CLICKED on control 1007..1010.
  void onRadioClicked(int controlId);

  std::int32_t portIndex() const { return portIndex_; }

 private:
  std::int32_t& portIndex_;
};
