#include <gmock/gmock.h>

#include "ClipsFixture.h"
#include "res/Resources.h"

using ::testing::ElementsAre;

namespace {

const char* const kDrives =
    "[internal]\nVID00012.MPG 1764000\nVID00013.MPG 352800\n"
    "[removable]\nVID00007.MPG 352800\nSND00001.WAV 176400\n";
const char* const kDeleteQuestion = "Delete File(s)|Are you sure you want to delete\nthe selected file(s)?";
const char* const kFormatQuestion = "Format Drive|All data on this drive will be lost.  Are you sure?";
const char* const kError04 =
    "Error Code 04 Received|This feature is not yet supported\nPlease contact Vantrel Technical Support";
const char* const kError11 =
    "Error Code 11 Received|The selected drive is not present\nPlease insert the drive and choose Refresh";

class DeleteFormatTest : public ClipsTest {
 protected:
  void SetUp() override {
    ClipsTest::SetUp();
    start(kDrives);
  }
  void deleteOnInternal(const std::string& label) {
    dialog->currentDrive = Internal;
    selectRow(Internal, label);
    dialog->onDeleteFile();
  }
};

TEST_F(DeleteFormatTest, DeleteWithYesSelectsDriveDeletesAndRemovesRow) {
  desktop.answer(platform::IDYES);
  deleteOnInternal("VID00012.MPG");

  EXPECT_THAT(newBoxes(), ElementsAre(kDeleteQuestion));
  EXPECT_EQ(desktop.shownOf(platform::memory::Shown::MessageBox).back().style,
            platform::MB_YESNO | platform::MB_ICONQUESTION);
  EXPECT_THAT(takeLines(), ElementsAre("0SL", "VID00012MPGDL"));
  EXPECT_THAT(list(Internal).labels(), ElementsAre("VID00013.MPG"));
  EXPECT_GE(elapsedMs(), sim::kDefaultCompletionDelayMs);
  EXPECT_EQ(desktop.cursorDepth(), 0);
  expectRefreshShowsUnit();
}

TEST_F(DeleteFormatTest, DeleteWithNoSendsNothing) {
  desktop.answer(platform::IDNO);
  deleteOnInternal("VID00012.MPG");

  EXPECT_THAT(newBoxes(), ElementsAre(kDeleteQuestion));
  EXPECT_TRUE(takeLines().empty());
  EXPECT_EQ(list(Internal).rowCount(), 2);
  EXPECT_EQ(desktop.cursorDepth(), 0);
}

TEST_F(DeleteFormatTest, DeleteWithNothingSelectedAsksNothing) {
  dialog->currentDrive = Internal;
  dialog->onDeleteFile();
  EXPECT_TRUE(newBoxes().empty());
  EXPECT_TRUE(takeLines().empty());
}

TEST_F(DeleteFormatTest, DeleteWhoseCompletionIsAnErrorKeepsRow) {
  unit.addFault(errorReply("DL", "04", sim::Reply::Second));
  desktop.answer(platform::IDYES);
  desktop.answer(platform::IDOK);
  deleteOnInternal("VID00012.MPG");

  EXPECT_THAT(newBoxes(), ElementsAre(kDeleteQuestion, kError04));
  EXPECT_GE(list(Internal).findLabel("VID00012.MPG"), 0);
  EXPECT_EQ(desktop.cursorDepth(), 0);
}

// Sending the delete line after a failed select would delete from whichever drive the unit
// had selected before; a refused or unanswered delete has no completion to wait for.
TEST_F(DeleteFormatTest, FailedSelectOrUnfinishedDeleteKeepsRowWithoutCompletionWait) {
  struct Case {
    const char* name;
    sim::FaultRule fault;
    int answer;
    std::vector<std::string> lines;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {"select: error 11", errorReply("SL", "11"), platform::IDOK, {"0SL"}, {kDeleteQuestion, kError11}},
      {"select: silent, Cancel", silence("SL"), platform::IDCANCEL, {"0SL"}, {kDeleteQuestion}},
      {"delete: refused",
       errorReply("DL", "04"),
       platform::IDOK,
       {"0SL", "VID00012MPGDL"},
       {kDeleteQuestion, kError04}},
      {"delete: silent, Cancel", silence("DL"), platform::IDCANCEL, {"0SL", "VID00012MPGDL"}, {kDeleteQuestion}},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.name);
    restartWith(each.fault);
    desktop.answer(platform::IDYES);
    desktop.answer(each.answer);
    deleteOnInternal("VID00012.MPG");

    EXPECT_EQ(takeLines(), each.lines);
    EXPECT_EQ(newBoxes(), each.boxes);
    EXPECT_LT(elapsedMs(), 2 * ExplorerDialog::kReplyTimeoutMs);
    EXPECT_GE(list(Internal).findLabel("VID00012.MPG"), 0);
    EXPECT_EQ(desktop.cursorDepth(), 0);
    expectRefreshShowsUnit();
  }
}

TEST_F(DeleteFormatTest, FormatWithYesSelectsDriveFirstAndEmptiesList) {
  const std::string summaryBefore = window->removableSummary.text();
  dialog->currentDrive = Removable;
  desktop.answer(platform::IDYES);
  dialog->onFormatDrive();

  EXPECT_THAT(newBoxes(), ElementsAre(kFormatQuestion));
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "FO"));
  EXPECT_EQ(list(Removable).rowCount(), 0);
  EXPECT_EQ(list(Internal).rowCount(), 2);
  EXPECT_EQ(window->removableSummary.text(), summaryBefore);
  EXPECT_EQ(desktop.cursorDepth(), 0);
  expectRefreshShowsUnit();
}

TEST_F(DeleteFormatTest, FormatWithNoSendsNothing) {
  dialog->currentDrive = Removable;
  desktop.answer(platform::IDNO);
  dialog->onFormatDrive();

  EXPECT_TRUE(takeLines().empty());
  EXPECT_EQ(list(Removable).rowCount(), 2);
}

TEST_F(DeleteFormatTest, FormatStopsWhenDriveSelectFails) {
  unit.addFault(errorReply("SL", "11"));
  dialog->currentDrive = Removable;
  desktop.answer(platform::IDYES);
  desktop.answer(platform::IDOK);
  dialog->onFormatDrive();

  EXPECT_THAT(takeLines(), ElementsAre("1SL"));
  EXPECT_EQ(list(Removable).rowCount(), 2);
  expectRefreshShowsUnit();
}

TEST_F(DeleteFormatTest, RefusedFormatIsNotFollowedByCompletionWait) {
  unit.addFault(errorReply("FO", "04"));
  dialog->currentDrive = Removable;
  desktop.answer(platform::IDYES);
  desktop.answer(platform::IDOK);
  dialog->onFormatDrive();

  EXPECT_THAT(newBoxes(), ElementsAre(kFormatQuestion, kError04));
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "FO"));
  EXPECT_LT(elapsedMs(), 2 * ExplorerDialog::kReplyTimeoutMs);
  EXPECT_EQ(list(Removable).rowCount(), 2);
  EXPECT_EQ(desktop.cursorDepth(), 0);
}

// Error 20 to a copy offers the format; the copy itself then ends without a completion wait.
TEST_F(DeleteFormatTest, UnformattedDestinationOffersFormat) {
  start("[removable]\nunformatted\n");
  dialog->currentDrive = Removable;
  desktop.answer(platform::IDYES);  // format now?
  desktop.answer(platform::IDYES);  // all data will be lost
  selectRow(Internal, "VID00012.MPG");
  dialog->onCopyToRemovable();

  EXPECT_THAT(newBoxes(),
              ElementsAre("Error Code 20 Received|The selected drive is not formatted,\n would you like to format now?",
                          kFormatQuestion));
  EXPECT_THAT(takeLines(), ElementsAre("VID00012MPGCR", "1SL", "FO"));
  EXPECT_TRUE(unit.drive(Removable).formatted);
  EXPECT_EQ(list(Removable).findLabel("VID00012.MPG"), -1);
  EXPECT_LT(elapsedMs(), 2 * ExplorerDialog::kReplyTimeoutMs);
  EXPECT_EQ(desktop.cursorDepth(), 0);
  expectRefreshShowsUnit();
}

}  // namespace
