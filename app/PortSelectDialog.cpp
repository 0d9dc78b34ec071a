#include "app/PortSelectDialog.h"

#include "res/Resources.h"

namespace {
constexpr int kPortCount = 4;
constexpr int kPresetPort = 1;  // COM 2, matching the index the caller presets
}  // namespace

void PortSelectDialog::onInitDialog(platform::Control* const radioButtons[4]) {
  for (int i = 0; i < kPortCount; ++i) {
    if (radioButtons[i] != nullptr) radioButtons[i]->setCheck(i == kPresetPort);
  }
}

void PortSelectDialog::onRadioClicked(int controlId) {
  const int index = controlId - res::IDC_COM1;
  if (index < 0 || index >= kPortCount) return;
  portIndex_ = index;
}
