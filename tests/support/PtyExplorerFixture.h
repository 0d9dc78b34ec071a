// The explorer fixture through the real POSIX port code: the simulator serves a
// pseudo-terminal, reached as "COM1" in a fresh temporary folder that the test runs in.
// Real time passes here: keep such tests to what only a real device can show.
#pragma once

#include <memory>

#include "sim/PtyUnit.h"
#include "support/ExplorerFixture.h"
#include "support/WorkingFolder.h"

class PtyExplorerFixture : public ExplorerTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;

  WorkingFolder folder;
  std::unique_ptr<sim::PtyUnit> pty;
};
