#include <gmock/gmock.h>

#include "ClipsFixture.h"
#include "link/SerialPort.h"
#include "res/Resources.h"

using platform::memory::Shown;
using ::testing::ElementsAre;

namespace {

const char* const kTwoDrives =
    "[internal]\nVID00003.MPG 352800\nVID00020.MPG 176400\n"
    "[removable]\nVID00012.MPG 1764000\nTEST 5000\nNOTES.TXT 1000\n";

class CopyTest : public ClipsTest {
 protected:
  void SetUp() override {
    ClipsTest::SetUp();
    start(kTwoDrives);
  }
};

TEST_F(CopyTest, CopiesSelectedClipAfterTheCompletionReply) {
  selectRow(Removable, "VID00012.MPG");
  dialog->onCopyToInternal();

  EXPECT_THAT(takeLines(), ElementsAre("VID00012MPGCI"));
  auto& internal = list(Internal);
  const int row = internal.findLabel("VID00012.MPG");
  ASSERT_GE(row, 0);
  EXPECT_EQ(internal.cell(row, 1), "00:00:10");
  EXPECT_EQ(internal.cell(row, 2), "1,764KB");
  EXPECT_EQ(internal.itemData(row), 12);
  EXPECT_EQ(internal.image(row), 0);
  // The row came only with the second reply, sent once the unit had finished.
  EXPECT_GE(elapsedMs(), sim::kDefaultCompletionDelayMs);
  EXPECT_TRUE(newBoxes().empty());
  EXPECT_EQ(desktop.cursorDepth(), 0);
  EXPECT_EQ(sortedLabels(Internal), unitLabels(Internal));
  expectRefreshShowsUnit();
}

TEST_F(CopyTest, CopiesTheOtherWayWithItsOwnSuffix) {
  selectRow(Internal, "VID00003.MPG");
  dialog->onCopyToRemovable();

  EXPECT_THAT(takeLines(), ElementsAre("VID00003MPGCR"));
  EXPECT_GE(list(Removable).findLabel("VID00003.MPG"), 0);
  expectRefreshShowsUnit();
}

TEST_F(CopyTest, NothingSelectedSendsNothing) {
  dialog->onCopyToInternal();
  EXPECT_TRUE(takeLines().empty());
  EXPECT_EQ(desktop.cursorDepth(), 0);
}

TEST_F(CopyTest, NameInOtherLetterCaseCountsAsDuplicate) {
  const int row = list(Internal).insertRow(0, "vid00012.mpg", 0);
  ASSERT_EQ(row, 0);
  const auto before = list(Internal).labels();
  selectRow(Removable, "VID00012.MPG");
  dialog->onCopyToInternal();

  EXPECT_TRUE(takeLines().empty());
  EXPECT_TRUE(newBoxes().empty());
  EXPECT_EQ(list(Internal).labels(), before);
}

TEST_F(CopyTest, NameWithoutExtensionIsPaddedAndShowsPlayListPictureUntilListed) {
  selectRow(Removable, "TEST");
  dialog->onCopyToInternal();

  EXPECT_THAT(takeLines(), ElementsAre("TEST       CI"));
  auto& internal = list(Internal);
  ASSERT_GE(internal.findLabel("TEST"), 0);
  EXPECT_EQ(internal.image(internal.findLabel("TEST")), 2);
  ASSERT_TRUE(dialog->listDrive(Internal));
  EXPECT_EQ(internal.image(internal.findLabel("TEST")), 4);
}

// The destination stays in descending key order until its next listing or header click;
// the sort code tells whether the drive was ever listed.
TEST_F(CopyTest, DestinationIsSortedDescendingWithCodeByListedFlag) {
  struct Case {
    std::int32_t listed;
    std::int32_t expectedCode;
  };
  for (const Case& each : {Case{1, 0}, Case{0, 1}}) {
    SCOPED_TRACE(each.listed);
    const int copiedBefore = unit.drive(Internal).find("VID00012MPG");
    if (copiedBefore >= 0) unit.drive(Internal).erase(copiedBefore);
    ASSERT_TRUE(dialog->listDrive(Internal));
    dialog->internalListed = each.listed;
    selectRow(Removable, "VID00012.MPG");
    dialog->onCopyToInternal();

    EXPECT_THAT(list(Internal).labels(), ElementsAre("VID00020.MPG", "VID00012.MPG", "VID00003.MPG"));
    EXPECT_EQ(list(Internal).lastSortCode(), each.expectedCode);
  }
}

TEST_F(CopyTest, ErrorOnCompletionAddsNoRowAndRelistsCurrentDrive) {
  unit.addFault(errorReply("CI", "12", sim::Reply::Second));
  dialog->currentDrive = Removable;
  desktop.answer(platform::IDOK);
  selectRow(Removable, "VID00012.MPG");
  dialog->onCopyToInternal();

  EXPECT_THAT(newBoxes(), ElementsAre("Error Code 12 Received|The desired clip is not present\nClick OK to Refresh"));
  EXPECT_THAT(takeLines(), ElementsAre("VID00012MPGCI", "1SL", "?R", "?D"));
  EXPECT_EQ(list(Internal).findLabel("VID00012.MPG"), -1);
  EXPECT_EQ(desktop.cursorDepth(), 0);
  expectRefreshShowsUnit();
}

// A command the unit refused or never answered sends no second reply: waiting for one would
// hang until the port's cap.
TEST_F(CopyTest, RefusedOrUnansweredCommandIsNotFollowedByCompletionWait) {
  struct Case {
    const char* name;
    sim::FaultRule fault;
    int answer;
    std::vector<std::string> boxes;
    std::vector<int> dialogs;
  };
  const Case cases[] = {
      {"refused",
       errorReply("CI", "04"),
       platform::IDOK,
       {"Error Code 04 Received|This feature is not yet supported\nPlease contact Vantrel Technical Support"},
       {}},
      {"silent, Cancel", silence("CI"), platform::IDCANCEL, {}, {res::IDD_COMM_ERROR}},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.name);
    restartWith(each.fault);
    desktop.answer(each.answer);
    selectRow(Removable, "VID00012.MPG");
    dialog->onCopyToInternal();

    EXPECT_THAT(takeLines(), ElementsAre("VID00012MPGCI"));
    EXPECT_EQ(newBoxes(), each.boxes);
    EXPECT_EQ(newDialogs(), each.dialogs);
    EXPECT_LT(elapsedMs(), 2 * ExplorerDialog::kReplyTimeoutMs);
    EXPECT_EQ(list(Internal).findLabel("VID00012.MPG"), -1);
    EXPECT_EQ(desktop.cursorDepth(), 0);
    expectRefreshShowsUnit();
  }
}

// The unit carried out the copy but never said so. After the cap, Retry waits once more without
// resending; once the user gives up, the target drive is listed again and shows the copy.
TEST_F(CopyTest, SilentCompletionEndsAtTheCapAndRelistsTheTarget) {
  struct Case {
    const char* name;
    std::vector<int> answers;
    std::vector<int> dialogs;
  };
  const Case cases[] = {{"Cancel", {platform::IDCANCEL}, {res::IDD_COMM_ERROR}},
                        {"Retry", {platform::IDOK, platform::IDOK}, {res::IDD_COMM_ERROR, res::IDD_COMM_FAILED}}};
  for (const Case& each : cases) {
    SCOPED_TRACE(each.name);
    if (const int copied = unit.drive(Internal).find("VID00012MPG"); copied >= 0) unit.drive(Internal).erase(copied);
    restartWith(silence("CI", sim::Reply::Second));
    dialog->currentDrive = Removable;
    for (const int answer : each.answers) desktop.answer(answer);
    selectRow(Removable, "VID00012.MPG");
    dialog->onCopyToInternal();

    EXPECT_EQ(newDialogs(), each.dialogs);
    EXPECT_THAT(takeLines(), ElementsAre("VID00012MPGCI", "0SL", "?R", "?D"));
    // Each completion wait lasted the cap exactly, from the cursor that began it to its dialog.
    const auto& shown = desktop.shown();
    for (auto at = shown.begin(); at != shown.end(); ++at) {
      if (at->kind != Shown::Dialog) continue;
      const auto waitBegan = std::find_if(std::make_reverse_iterator(at), shown.rend(),
                                          [](const Shown& s) { return s.kind == Shown::CursorBegin; });
      ASSERT_NE(waitBegan, shown.rend());
      EXPECT_EQ(at->atMs - waitBegan->atMs, kUnlimitedWaitCapMs);
    }
    EXPECT_EQ(sortedLabels(Internal), unitLabels(Internal));
    EXPECT_EQ(dialog->currentDrive, Removable) << "the relisting moved the current drive";
    EXPECT_EQ(desktop.cursorDepth(), 0);
  }
}

TEST_F(CopyTest, NoiseBeforeCompletionReplyStillCompletes) {
  sim::FaultRule noise;
  noise.command = "CI";
  noise.fault = sim::Fault::NoiseBefore;
  noise.reply = sim::Reply::Second;
  noise.count = 5;
  unit.addFault(noise);
  selectRow(Removable, "VID00012.MPG");
  dialog->onCopyToInternal();

  EXPECT_GE(list(Internal).findLabel("VID00012.MPG"), 0);
  EXPECT_TRUE(newBoxes().empty());
  EXPECT_TRUE(newDialogs().empty());
  expectRefreshShowsUnit();
}

TEST_F(CopyTest, CopiedNameAlreadyOnTheUnitIsNotListedTwice) {
  selectRow(Removable, "VID00012.MPG");
  dialog->onCopyToInternal();
  dialog->onCopyToInternal();

  EXPECT_THAT(takeLines(), ElementsAre("VID00012MPGCI"));
  expectRefreshShowsUnit();
}

}  // namespace
