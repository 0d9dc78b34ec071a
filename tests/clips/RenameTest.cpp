#include <gmock/gmock.h>

#include "ClipsFixture.h"
#include "res/Resources.h"

using ::testing::ElementsAre;

namespace {

const char* const kDrives =
    "[internal]\nVID00012.MPG 1764000\nVID00020.MPG 352800\n"
    "[removable]\nVID00030.MPG 352800\nSND00004.WAV 352800\nnotes.txt 1000\n";
const char* const kInvalid = "Rename Error|The file name you have typed is invalid.\nPlease choose another name";
const char* const kExists =
    "Rename Error|A file with that name already exists on this drive,\nplease choose another name.";
const char* const kNoLength = "        ";

class RenameTest : public ClipsTest {
 protected:
  void SetUp() override {
    ClipsTest::SetUp();
    start(kDrives);
  }
  // The user picks Rename on drive's row label, types text and ends the edit.
  void rename(DriveKind drive, const std::string& label, const std::string& text, bool cancelled = false) {
    dialog->currentDrive = drive;
    selectRow(drive, label);
    dialog->onRenameFile();
    ASSERT_TRUE(list(drive).isEditing());
    list(drive).typeInEditor(text);
    list(drive).endEdit(cancelled);
  }
  int rowOf(DriveKind drive, const std::string& label) { return list(drive).findLabel(label); }
};

TEST_F(RenameTest, RenamesClipAndRecomputesItsRow) {
  const int row = rowOf(Internal, "VID00012.MPG");
  const auto orderBefore = list(Internal).labels();
  rename(Internal, "VID00012.MPG", "vid00013.mpg");

  EXPECT_THAT(takeLines(), ElementsAre("0SL", "VID00012MPGVID00013MPGRN"));
  auto& internal = list(Internal);
  EXPECT_EQ(internal.cell(row, 0), "VID00013.MPG");
  EXPECT_EQ(internal.image(row), 0);
  EXPECT_EQ(internal.cell(row, 1), "00:00:10");
  EXPECT_EQ(internal.cell(row, 2), "1,764KB");
  EXPECT_EQ(internal.itemData(row), 12);  // the key and the order wait for the next listing
  EXPECT_EQ(internal.rowCount(), static_cast<int>(orderBefore.size()));
  EXPECT_TRUE(newBoxes().empty());
  EXPECT_EQ(desktop.cursorDepth(), 0);
  EXPECT_EQ(sortedLabels(Internal), unitLabels(Internal));
  expectRefreshShowsUnit();
}

TEST_F(RenameTest, RemovableListSelectsItsOwnDrive) {
  rename(Removable, "SND00004.WAV", "SND00005.WAV");
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "SND00004WAVSND00005WAVRN"));
  const int row = rowOf(Removable, "SND00005.WAV");
  ASSERT_GE(row, 0);
  EXPECT_EQ(list(Removable).image(row), 1);
  // Worked out from "352KB": the bytes below a thousand are gone, so 352,800 bytes give 1 s.
  EXPECT_EQ(list(Removable).cell(row, 1), "00:00:01");
  expectRefreshShowsUnit();
}

TEST_F(RenameTest, EditIsLimitedToTwelveCharacters) {
  dialog->currentDrive = Internal;
  selectRow(Internal, "VID00012.MPG");
  dialog->onRenameFile();
  EXPECT_EQ(dialog->nameBeforeEdit, "VID00012.MPG");
  EXPECT_EQ(list(Internal).editLimit(), 12);
  list(Internal).typeInEditor("VID00013.MPGXY");
  EXPECT_EQ(list(Internal).editText(), "VID00013.MPG");
  list(Internal).endEdit(false);
  EXPECT_THAT(takeLines(), ElementsAre("0SL", "VID00012MPGVID00013MPGRN"));
}

TEST_F(RenameTest, NothingSelectedStartsNoEdit) {
  dialog->currentDrive = Internal;
  dialog->onRenameFile();
  EXPECT_FALSE(list(Internal).isEditing());
}

// A name of no known kind gets the command-file picture and no Length; a dot that ends the
// name is shown as typed but sent as an empty extension.
TEST_F(RenameTest, NameOfNoKnownKindHasNoLength) {
  struct Case {
    const char* label;
    const char* typed;
    const char* line;
    const char* shown;
    const char* size;
  };
  const Case cases[] = {
      {"VID00012.MPG", "notes.txt", "VID00012MPGNOTES   TXTRN", "NOTES.TXT", "1,764KB"},
      {"VID00020.MPG", "abc.", "VID00020MPGABC        RN", "ABC.", "352KB"},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.typed);
    const int row = rowOf(Internal, each.label);
    rename(Internal, each.label, each.typed);
    EXPECT_THAT(takeLines(), ElementsAre("0SL", each.line));
    EXPECT_EQ(list(Internal).cell(row, 0), each.shown);
    EXPECT_EQ(list(Internal).image(row), 3);
    EXPECT_EQ(list(Internal).cell(row, 1), kNoLength);
    EXPECT_EQ(list(Internal).cell(row, 2), each.size);
  }
  expectRefreshShowsUnit();
  EXPECT_GE(rowOf(Internal, "ABC"), 0);
}

TEST_F(RenameTest, UnchangedNameSendsNothing) {
  for (const char* typed : {"VID00012.MPG", "vid00012.mpg", "Vid00012.Mpg"}) {
    SCOPED_TRACE(typed);
    rename(Internal, "VID00012.MPG", typed);
    EXPECT_TRUE(takeLines().empty());
    EXPECT_TRUE(newBoxes().empty());
    EXPECT_GE(rowOf(Internal, "VID00012.MPG"), 0);
  }
}

// The unit may hold a name in lower case; confirming it unchanged is no clash with itself.
TEST_F(RenameTest, UnchangedLowerCaseNameIsNoClashWithItself) {
  rename(Removable, "notes.txt", "notes.txt");
  EXPECT_TRUE(takeLines().empty());
  EXPECT_TRUE(newBoxes().empty());
}

TEST_F(RenameTest, NameOfAnotherRowIsRefused) {
  rename(Internal, "VID00012.MPG", "vid00020.mpg");
  EXPECT_THAT(newBoxes(), ElementsAre(kExists));
  EXPECT_TRUE(takeLines().empty());
  EXPECT_GE(rowOf(Internal, "VID00012.MPG"), 0);
}

TEST_F(RenameTest, NameOnTheOtherDriveDoesNotCount) {
  rename(Internal, "VID00012.MPG", "VID00030.MPG");
  EXPECT_THAT(takeLines(), ElementsAre("0SL", "VID00012MPGVID00030MPGRN"));
  EXPECT_GE(rowOf(Internal, "VID00030.MPG"), 0);
  expectRefreshShowsUnit();
}

TEST_F(RenameTest, InvalidOrEmptyNameIsRefused) {
  for (const char* typed : {"A_B.MPG", "ABCDEFGHI", "", ".MPG"}) {
    SCOPED_TRACE(typed);
    start("");
    rename(Internal, "VID00012.MPG", typed);
    EXPECT_THAT(newBoxes(), ElementsAre(kInvalid));
    EXPECT_TRUE(takeLines().empty());
    EXPECT_GE(rowOf(Internal, "VID00012.MPG"), 0);
  }
}

TEST_F(RenameTest, EscapeAbandonsEdit) {
  rename(Internal, "VID00012.MPG", "VID00099.MPG", true);
  EXPECT_TRUE(takeLines().empty());
  EXPECT_TRUE(newBoxes().empty());
  EXPECT_GE(rowOf(Internal, "VID00012.MPG"), 0);
}

// Sending the rename line after a failed select would rename on whichever drive the unit had
// selected before.
TEST_F(RenameTest, FailedDriveSelectStopsRename) {
  struct Case {
    const char* name;
    sim::FaultRule fault;
    int answer;
  };
  const Case cases[] = {
      {"error 11", errorReply("SL", "11"), platform::IDOK},
      {"silent, Cancel", silence("SL"), platform::IDCANCEL},
  };
  for (const Case& each : cases) {
    SCOPED_TRACE(each.name);
    restartWith(each.fault);
    desktop.answer(each.answer);
    rename(Internal, "VID00012.MPG", "VID00013.MPG");

    EXPECT_THAT(takeLines(), ElementsAre("0SL"));
    EXPECT_GE(rowOf(Internal, "VID00012.MPG"), 0);
    EXPECT_EQ(desktop.cursorDepth(), 0);
    expectRefreshShowsUnit();
  }
}

TEST_F(RenameTest, RefusedRenameKeepsOldLabel) {
  unit.addFault(errorReply("RN", "04"));
  desktop.answer(platform::IDOK);
  rename(Internal, "VID00012.MPG", "VID00013.MPG");

  EXPECT_THAT(takeLines(), ElementsAre("0SL", "VID00012MPGVID00013MPGRN"));
  EXPECT_GE(rowOf(Internal, "VID00012.MPG"), 0);
  EXPECT_EQ(rowOf(Internal, "VID00013.MPG"), -1);
  EXPECT_EQ(desktop.cursorDepth(), 0);
  expectRefreshShowsUnit();
}

// The Length of a renamed clip comes from whatever its Size cell holds.
TEST_F(RenameTest, LengthFromAnySizeTextIsSafe) {
  const int row = rowOf(Internal, "VID00012.MPG");
  list(Internal).setCell(row, 2, "");
  rename(Internal, "VID00012.MPG", "VID00013.MPG");
  EXPECT_EQ(list(Internal).cell(row, 1), "00:00:00");
}

}  // namespace
