// Fixtures for the window logic: an ExplorerDialog bound to in-memory controls, a scripted
// user, and the unit simulator behind the global serialLink.
//
// ExplorerFixture talks to the simulator through the in-memory port on a virtual clock, so
// every time-out runs instantly and clock.nowMs() tells exactly how long the program waited.
// PtyExplorerFixture (PtyExplorerFixture.h) runs the same through the real POSIX port code on
// a pseudo-terminal.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/memory/MemoryDesktop.h"
#include "sim/MemoryPort.h"
#include "sim/Unit.h"
#include "ui/ExplorerDialog.h"

// What both fixtures share: the simulator, the scripted desktop and the dialog under test.
class ExplorerTestBase : public ::testing::Test {
 protected:
  // Binds a new dialog to in-memory controls; the serial link must be open already.
  void openDialog();
  // Restores the global objects for the next test.
  void closeDialog();

  // Seeds the simulator from manifest text ("[internal]" / "[removable]" sections).
  void seed(const std::string& manifest);
  // Lines the program sent to the unit, without their CR, and forgets them.
  std::vector<std::string> takeLines();
  // Message boxes shown so far, as "caption|text".
  std::vector<std::string> boxes() const;
  // Template dialogs shown so far (144, 149, ...).
  std::vector<int> dialogs() const;

  platform::memory::MemoryListView& list(DriveKind drive) {
    return drive == Internal ? window->internalList : window->removableList;
  }

  sim::Unit unit;
  platform::memory::MemoryDesktop desktop;
  std::unique_ptr<ExplorerDialog> dialog;
  platform::memory::MemoryExplorerWindow* window = nullptr;
};

class ExplorerFixture : public ExplorerTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;

  sim::VirtualClock clock;
  sim::MemoryPort* port = nullptr;  // owned by serialLink
};
