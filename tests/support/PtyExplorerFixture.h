// The explorer fixture through the real POSIX port code: the simulator serves a
// pseudo-terminal, reached as "COM1" in a fresh temporary folder that the test runs in.
// Real time passes here: keep such tests to what only a real device can show.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/memory/MemoryDesktop.h"
#include "sim/PtyUnit.h"
#include "sim/Unit.h"
#include "ui/ExplorerDialog.h"

class PtyExplorerFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void seed(const std::string& manifest);
  std::vector<std::string> takeLines();
  std::vector<std::string> boxes() const;
  platform::memory::MemoryListView& list(DriveKind drive) {
    return drive == Internal ? window->internalList : window->removableList;
  }

  sim::Unit unit;
  std::unique_ptr<sim::PtyUnit> pty;
  std::string folder;
  std::string previousFolder;
  platform::memory::MemoryDesktop desktop;
  std::unique_ptr<ExplorerDialog> dialog;
  platform::memory::MemoryExplorerWindow* window = nullptr;
};
