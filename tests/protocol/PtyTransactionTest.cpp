// The command transaction through the real POSIX port code and a pseudo-terminal, in real
// time. Only what the virtual clock cannot show: real bytes, real drains, a real time-out.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "link/SerialLink.h"
#include "support/PtyExplorerFixture.h"

namespace {

using platform::IDCANCEL;
using platform::IDOK;
using platform::memory::Shown;

using PtyTransactionTest = PtyExplorerFixture;

void addFault(sim::Unit& unit, sim::Fault fault, int count = 0, const std::string& code = "") {
  sim::FaultRule rule;
  rule.command = "SL";
  rule.fault = fault;
  rule.count = count;
  rule.code = code;
  unit.addFault(rule);
}

TEST_F(PtyTransactionTest, DoneReplySucceeds) {
  EXPECT_TRUE(dialog->sendCommand("0SL"));
  EXPECT_EQ(takeLines(), std::vector<std::string>{"0SL"});
  EXPECT_TRUE(boxes().empty());
  EXPECT_TRUE(desktop.shownOf(Shown::Dialog).empty());
}

TEST_F(PtyTransactionTest, NoiseBeforeTheReplyIsSkipped) {
  addFault(unit, sim::Fault::NoiseBefore, 5);
  EXPECT_TRUE(dialog->sendCommand("1SL"));
  EXPECT_TRUE(desktop.shownOf(Shown::Dialog).empty());
}

TEST_F(PtyTransactionTest, ErrorCode11ShowsItsBox) {
  addFault(unit, sim::Fault::ErrorCode, 0, "11");
  desktop.answer(IDOK);
  EXPECT_FALSE(dialog->sendCommand("1SL"));
  EXPECT_EQ(boxes(), std::vector<std::string>{
                         "Error Code 11 Received|The selected drive is not present\nPlease insert the drive and choose "
                         "Refresh"});
  EXPECT_EQ(takeLines(), std::vector<std::string>{"1SL"});
}

TEST_F(PtyTransactionTest, SilentUnitIsWaitedForAtLeastTheLimit) {
  addFault(unit, sim::Fault::Silence);
  desktop.answer(IDCANCEL);
  const auto start = std::chrono::steady_clock::now();

  EXPECT_FALSE(dialog->sendCommand("0SL"));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(desktop.shownOf(Shown::Dialog).size(), 1u);
  // Two drains before the line, the 5000 ms limit, one drain after; a second limit would
  // take it past 10 s.
  EXPECT_GE(waited, std::chrono::milliseconds(5300));
  EXPECT_LT(waited, std::chrono::milliseconds(10000));
  EXPECT_EQ(desktop.cursorDepth(), 0);
}

// The adapter pulled out and plugged in again at the same link, under a new device: the next
// Refresh opens it again by itself and lists the drive, with no dialog and no restart.
TEST_F(PtyTransactionTest, RefreshAfterAReplugListsTheDriveWithoutADialog) {
  std::string error;
  ASSERT_TRUE(unit.seedManifest("[removable]\nVID00001.MPG 352800\n", &error)) << error;
  const std::string before = pty->slavePath();
  ASSERT_TRUE(pty->replug(100));
  ASSERT_NE(pty->slavePath(), before);
  list(Removable).setFocus();

  dialog->onRefresh();

  EXPECT_TRUE(desktop.shownOf(Shown::Dialog).empty());
  EXPECT_TRUE(boxes().empty());
  EXPECT_EQ(list(Removable).labels(), std::vector<std::string>{"VID00001.MPG"});
  EXPECT_FALSE(serialLink.isLost());
}

}  // namespace
