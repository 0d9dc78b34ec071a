// Play through the real POSIX port code: the lines reach the simulator on its
// pseudo-terminal and the unit plays.
#include <gmock/gmock.h>

#include "support/PtyExplorerFixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST_F(PtyExplorerFixture, PlayThroughTheRealPortCuesAndPlaysOnTheUnit) {
  seed("[removable]\nVID00123.MPG 1764000\n");
  auto& rows = list(Removable);
  rows.select(rows.insertRow(0, "VID00123.MPG", 0));
  rows.setFocus();

  dialog->onPlay();
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "123SE", "PL"));
  EXPECT_EQ(unit.playState().cuedClip, 123);
  EXPECT_TRUE(unit.playState().playing);

  dialog->onPlay();
  EXPECT_THAT(takeLines(), ElementsAre("PL"));
  EXPECT_THAT(boxes(), IsEmpty());
  EXPECT_EQ(desktop.cursorDepth(), 0);
}
