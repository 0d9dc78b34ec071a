#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory/MemoryDesktop.h"
#include "ui/ProgressDialog.h"

namespace {

using platform::memory::Shown;

// The progress window's owner is the main window; here a bare window stands in for it. What
// a dispatch paints is the percentage the window holds at that moment.
class OwnerDesktop : public platform::memory::MemoryDesktop {
 public:
  platform::Window* activePopup() override { return &owner; }
  void processPendingMessages() override {
    MemoryDesktop::processPendingMessages();
    if (progress() != nullptr) painted.push_back(progress()->percentText());
  }
  platform::memory::MemoryWindow owner;
  std::vector<std::string> painted;
};

class ProgressDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { progress.attach(&desktop); }

  OwnerDesktop desktop;
  ProgressDialog progress;
};

TEST_F(ProgressDialogTest, FourStepsShowQuartersAndAFifthWraps) {
  ASSERT_TRUE(progress.createFor(Internal));
  ASSERT_NE(desktop.progress(), nullptr);
  EXPECT_EQ(desktop.progress()->percentText(), " 0 %");
  EXPECT_EQ(desktop.progress()->pos(), 0);

  std::vector<int> before;
  for (int i = 0; i < 5; ++i) before.push_back(progress.advance());

  EXPECT_EQ(before, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(desktop.percentHistory, (std::vector<std::string>{"25%", "50%", "75%", "100%", "25%"}));
  EXPECT_EQ(desktop.pumps(), 5) << "each step dispatches the pending messages";
  EXPECT_EQ(desktop.painted, desktop.percentHistory) << "a figure painted one step late";
}

TEST_F(ProgressDialogTest, CaptionNamesTheDrive) {
  const std::pair<DriveKind, std::string> cases[] = {
      {Removable, "Uploading Removable Drive Directory Information...."},
      {Internal, "Uploading Internal Drive Directory Information...."},
  };
  for (const auto& [drive, caption] : cases) {
    ASSERT_TRUE(progress.createFor(drive));
    EXPECT_EQ(desktop.progress()->caption(), caption);
    progress.destroy();
  }
}

TEST_F(ProgressDialogTest, EachUploadStartsAgainFromZero) {
  ASSERT_TRUE(progress.createFor(Internal));
  progress.advance();
  progress.advance();
  progress.destroy();
  EXPECT_EQ(desktop.progress(), nullptr);

  ASSERT_TRUE(progress.createFor(Removable));
  EXPECT_EQ(desktop.progress()->percentText(), " 0 %");
  EXPECT_EQ(progress.advance(), 0);
  EXPECT_EQ(desktop.progress()->percentText(), "25%");
}

TEST_F(ProgressDialogTest, OwnerIsDisabledWhileShownAndEnabledAfter) {
  ASSERT_TRUE(progress.createFor(Internal));
  EXPECT_FALSE(desktop.owner.isEnabled());
  EXPECT_EQ(progress.ownerDisabled, 1);
  progress.advance();
  EXPECT_FALSE(desktop.owner.isEnabled());

  progress.destroy();
  EXPECT_TRUE(desktop.owner.isEnabled());
  EXPECT_EQ(progress.ownerDisabled, 0);
  EXPECT_FALSE(progress.isShown());
  EXPECT_EQ(desktop.shownOf(Shown::ProgressDestroyed).size(), 1u);
}

TEST_F(ProgressDialogTest, OwnerDisabledBeforehandStaysDisabled) {
  desktop.owner.enable(false);
  ASSERT_TRUE(progress.createFor(Removable));
  EXPECT_EQ(progress.ownerDisabled, 0);
  progress.destroy();
  EXPECT_FALSE(desktop.owner.isEnabled());
}

TEST_F(ProgressDialogTest, FailedCreationGivesTheOwnerBackAndLaterCallsDoNothing) {
  desktop.failProgressWindow();
  EXPECT_FALSE(progress.createFor(Removable));
  EXPECT_TRUE(desktop.owner.isEnabled());
  EXPECT_EQ(progress.ownerDisabled, 0);

  progress.advance();
  progress.destroy();
  EXPECT_TRUE(desktop.owner.isEnabled());
  EXPECT_EQ(desktop.pumps(), 0);
  EXPECT_TRUE(desktop.percentHistory.empty());
}

TEST_F(ProgressDialogTest, UnchangedPercentageIsNotWrittenAgain) {
  ASSERT_TRUE(progress.createFor(Internal));
  progress.showPercent(2);
  progress.showPercent(2);
  EXPECT_EQ(desktop.progress()->percentWrites(), 1);
  EXPECT_EQ(desktop.progress()->percentText(), "50%");
}

TEST_F(ProgressDialogTest, PercentTruncatesAndWrapsExceptAtFull) {
  progress.rangeUpper = 3;
  ASSERT_TRUE(progress.createFor(Internal));
  const std::pair<int, const char*> cases[] = {{1, "33%"}, {2, "66%"}, {3, "100%"}, {4, "33%"}, {6, "0%"}};
  for (const auto& [position, text] : cases) {
    progress.showPercent(position);
    EXPECT_EQ(desktop.progress()->percentText(), text) << "position " << position;
  }
}

TEST_F(ProgressDialogTest, SecondCreateStillGivesTheOwnerBack) {
  ASSERT_TRUE(progress.createFor(Internal));
  ASSERT_TRUE(progress.createFor(Removable));
  EXPECT_FALSE(desktop.owner.isEnabled());
  progress.destroy();
  EXPECT_TRUE(desktop.owner.isEnabled());
}

TEST_F(ProgressDialogTest, DestructionWithTheWindowUpEnablesTheOwner) {
  {
    ProgressDialog local;
    local.attach(&desktop);
    ASSERT_TRUE(local.createFor(Internal));
    EXPECT_FALSE(desktop.owner.isEnabled());
  }
  EXPECT_TRUE(desktop.owner.isEnabled());
}

TEST(ProgressDialogDetachedTest, WithoutDesktopNothingIsCreated) {
  ProgressDialog progress;
  EXPECT_FALSE(progress.createFor(Internal));
  progress.advance();
  progress.destroy();
  EXPECT_FALSE(progress.isShown());
}

}  // namespace
