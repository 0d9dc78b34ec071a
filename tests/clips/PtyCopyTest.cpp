// One copy through the real port on a pseudo-terminal: the completion wait of limit 0 must
// block on the device until the unit's late second reply, then complete.
#include <gmock/gmock.h>

#include <chrono>

#include "support/PtyExplorerFixture.h"

using ::testing::ElementsAre;

namespace {

class PtyCopyTest : public PtyExplorerFixture {};

TEST_F(PtyCopyTest, CopyWaitsForTheLateCompletionReply) {
  seed("[internal]\nVID00003.MPG 352800\n[removable]\nVID00012.MPG 1764000\n");
  ASSERT_TRUE(dialog->listDrive(Internal));
  ASSERT_TRUE(dialog->listDrive(Removable));
  takeLines();
  constexpr int kCompletionDelayMs = 400;
  unit.setCompletionDelayMs(kCompletionDelayMs);
  list(Removable).select(list(Removable).findLabel("VID00012.MPG"));

  const auto began = std::chrono::steady_clock::now();
  dialog->onCopyToInternal();
  const auto tookMs =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();

  EXPECT_THAT(takeLines(), ElementsAre("VID00012MPGCI"));
  EXPECT_GE(tookMs, kCompletionDelayMs);
  EXPECT_LT(tookMs, 20000);
  EXPECT_TRUE(boxes().empty());
  EXPECT_GE(list(Internal).findLabel("VID00012.MPG"), 0);
  EXPECT_EQ(desktop.cursorDepth(), 0);
  ASSERT_TRUE(dialog->listDrive(Internal));
  EXPECT_THAT(list(Internal).labels(), ElementsAre("VID00003.MPG", "VID00012.MPG"));
}

}  // namespace
