// Copies through the real port on a pseudo-terminal: the completion wait of limit 0 must block
// on the device until the unit's late second reply, and must not lose a second reply that
// comes at once, within the drain after the first.
#include <gmock/gmock.h>

#include <chrono>

#include "support/PtyExplorerFixture.h"

using ::testing::ElementsAre;

namespace {

class PtyCopyTest : public PtyExplorerFixture {};

TEST_F(PtyCopyTest, CopyWaitsForTheCompletionReplyLateOrAtOnce) {
  seed("[internal]\nVID00003.MPG 352800\n[removable]\nVID00012.MPG 1764000\nVID00013.MPG 1764000\n");
  ASSERT_TRUE(dialog->listDrive(Internal));
  ASSERT_TRUE(dialog->listDrive(Removable));
  takeLines();
  for (const auto& [name, delayMs] : {std::pair{"VID00012.MPG", 400}, std::pair{"VID00013.MPG", 0}}) {
    SCOPED_TRACE(delayMs);
    unit.setCompletionDelayMs(delayMs);
    list(Removable).select(list(Removable).findLabel(name));

    const auto began = std::chrono::steady_clock::now();
    dialog->onCopyToInternal();
    const auto tookMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();

    EXPECT_EQ(takeLines().size(), 1u);
    EXPECT_GE(tookMs, delayMs);
    EXPECT_LT(tookMs, 20000);
    EXPECT_TRUE(boxes().empty());
    EXPECT_TRUE(dialogs().empty());
    EXPECT_GE(list(Internal).findLabel(name), 0);
    EXPECT_EQ(desktop.cursorDepth(), 0);
  }
  ASSERT_TRUE(dialog->listDrive(Internal));
  EXPECT_THAT(list(Internal).labels(), ElementsAre("VID00003.MPG", "VID00012.MPG", "VID00013.MPG"));
}

}  // namespace
