// What the user did not ask to lose: the reply that ends a copy, delete or format, however soon
// the unit sends it; the drive a format acts on; the file a name on the line addresses.
#include <gmock/gmock.h>

#include <functional>
#include <regex>

#include "ClipsFixture.h"
#include "link/SerialPort.h"
#include "res/Resources.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const char* const kDrives =
    "[internal]\nVID00012.MPG 1764000\nVID00013.MPG 352800\n"
    "[removable]\nVID00007.MPG 352800\nSND00001.WAV 176400\n";

class DataSafetyTest : public ClipsTest {};

// A unit may finish before, at or after the program's 100 ms drain ends: the completion is
// never drained away, and the wait lasts exactly as long as the unit takes.
TEST_F(DataSafetyTest, EndsWhenTheUnitFinishesHoweverSoon) {
  struct Operation {
    const char* name;
    std::function<void()> run;
    std::vector<std::string> internalAfter;  // the unit's files once it is done
    std::vector<std::string> removableAfter;
  };
  const Operation operations[] = {
      {"Copy",
       [&] {
         dialog->currentDrive = Removable;
         selectRow(Removable, "SND00001.WAV");
         dialog->onCopyToInternal();
       },
       {"SND00001.WAV", "VID00012.MPG", "VID00013.MPG"},
       {"SND00001.WAV", "VID00007.MPG"}},
      {"Delete",
       [&] {
         desktop.answer(platform::IDYES);
         dialog->currentDrive = Internal;
         selectRow(Internal, "VID00012.MPG");
         dialog->onDeleteFile();
       },
       {"VID00013.MPG"},
       {"SND00001.WAV", "VID00007.MPG"}},
      {"Format",
       [&] {
         desktop.answer(platform::IDYES);
         dialog->currentDrive = Internal;
         dialog->onFormatDrive();
       },
       {},
       {"SND00001.WAV", "VID00007.MPG"}},
  };
  for (const Operation& operation : operations) {
    std::int64_t atOnceMs = -1;
    for (const int delayMs : {0, 50, 100, 101, 300}) {
      SCOPED_TRACE(std::string(operation.name) + " after " + std::to_string(delayMs) + " ms");
      unit.setCompletionDelayMs(delayMs);
      start(kDrives);
      operation.run();
      if (atOnceMs < 0) atOnceMs = elapsedMs();
      EXPECT_EQ(elapsedMs() - atOnceMs, delayMs);
      EXPECT_THAT(newDialogs(), IsEmpty());
      EXPECT_EQ(unitLabels(Internal), operation.internalAfter);
      EXPECT_EQ(unitLabels(Removable), operation.removableAfter);
      EXPECT_EQ(sortedLabels(Internal), unitLabels(Internal));
      EXPECT_EQ(desktop.cursorDepth(), 0);
      EXPECT_TRUE(window->window.isEnabled());
    }
  }
}

// A completion reply cut short after its first byte ends the wait at the status limit, not
// at the cap of a wait without a limit.
TEST_F(DataSafetyTest, ReplyCutShortEndsAtTheStatusLimit) {
  start(kDrives);
  unit.addFault({.command = "CR", .fault = sim::Fault::RWithoutCr, .reply = sim::Reply::Second});
  desktop.answer(platform::IDCANCEL);
  dialog->currentDrive = Internal;
  selectRow(Internal, "VID00013.MPG");
  dialog->onCopyToRemovable();

  EXPECT_THAT(newDialogs(), ElementsAre(res::IDD_COMM_ERROR));
  const auto dialogAt = desktop.shownOf(platform::memory::Shown::Dialog).back().atMs;
  const auto completionAt = unit.receivedLog().front().atUs / 1000 + sim::kDefaultCompletionDelayMs;
  EXPECT_EQ(dialogAt - completionAt, ExplorerDialog::kReplyTimeoutMs);
  EXPECT_EQ(sortedLabels(Removable), unitLabels(Removable)) << "the target is listed again";
}

// Error 20 to a copy offers the format of the copy's target, selected first; the source, which
// holds the clip being copied, keeps every file.
TEST_F(DataSafetyTest, FormatOfferedByACopyActsOnItsTarget) {
  for (const DriveKind target : {Internal, Removable}) {
    SCOPED_TRACE(target == Internal ? "to internal" : "to removable");
    start(kDrives);
    const DriveKind source = target == Internal ? Removable : Internal;
    const auto sourceFiles = unitLabels(source);
    unit.drive(target).formatted = false;
    desktop.answer(platform::IDYES);  // format now?
    desktop.answer(platform::IDYES);  // all data will be lost
    dialog->currentDrive = source;
    selectRow(source, source == Internal ? "VID00012.MPG" : "VID00007.MPG");
    target == Internal ? dialog->onCopyToInternal() : dialog->onCopyToRemovable();

    const auto lines = takeLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_THAT(std::vector(lines.begin() + 1, lines.end()), ElementsAre(selectLine(target), "FO"));
    EXPECT_EQ(unitLabels(source), sourceFiles);
    EXPECT_TRUE(unit.drive(target).formatted);
    EXPECT_THAT(list(target).labels(), IsEmpty());
    EXPECT_EQ(list(source).rowCount(), static_cast<int>(sourceFiles.size()));
  }
}

// Puts raw 11-byte name fields on the Removable Drive, each a file of 1000 bytes.
void writeRecords(sim::Drive& drive, const std::vector<std::string>& fields) {
  drive.directory.fill(0);
  for (std::size_t i = 0; i < fields.size(); ++i) {
    std::uint8_t* record = drive.directory.data() + i * sim::kRecordBytes;
    std::copy_n(fields[i].begin(), sim::kNameFieldBytes, record);
    record[11] = sim::kAttrArchive;
    record[28] = 0xE8;  // 1000 bytes
    record[29] = 0x03;
  }
}

// Names with any bytes are listed harmlessly; copying and deleting every row sends only
// printable lines, each naming the very file its row shows: the unit's own printable names
// (CLIPON~1.MPG, A-B.MPG, lower case) go back as they stand, the others are refused by a box
// that names the action.
TEST_F(DataSafetyTest, OddDirectoryNamesNeverReachTheLine) {
  const std::vector<std::string> fields = {std::string("FO\rX    MPG"),
                                           std::string("VID00099\0\0\0", 11),
                                           std::string("VID\x01"
                                                       "0001MPG"),
                                           "ABCDEFG X  ",
                                           "ABCDEFG    ",
                                           "README  TX ",
                                           "TEST    A  ",
                                           "CLIPON~1MPG",
                                           "A-B     MPG",
                                           "vid00001mpg",
                                           std::string("\x05"
                                                       "BCDEFGHMPG")};
  start("");
  writeRecords(unit.drive(Removable), fields);
  ASSERT_TRUE(dialog->listDrive(Removable));
  ASSERT_EQ(list(Removable).rowCount(), static_cast<int>(fields.size()));
  takeLines();

  for (int row = 0; row < list(Removable).rowCount(); ++row) {
    dialog->currentDrive = Removable;
    list(Removable).select(row);
    dialog->onCopyToInternal();
  }
  while (list(Removable).rowCount() > 0) {
    const int before = list(Removable).rowCount();
    dialog->currentDrive = Removable;
    list(Removable).select(0);
    desktop.answer(platform::IDYES);
    dialog->onDeleteFile();
    if (list(Removable).rowCount() == before) list(Removable).deleteRow(0);  // refused: next row
  }

  const std::regex printable("[01]SL|[\\x20-\\x7E]{11}(CI|DL)");
  for (const std::string& line : takeLines()) EXPECT_TRUE(std::regex_match(line, printable)) << line;
  // Exactly the files with a printable name were copied and then deleted.
  EXPECT_THAT(unitLabels(Internal), ElementsAre("A-B.MPG", "ABCDEFG", "ABCDEFG.X", "CLIPON~1.MPG", "README.TX",
                                                "TEST.A", "vid00001.mpg"));
  EXPECT_EQ(unitLabels(Removable).size(), 4u);
  std::vector<std::string> refusals;
  for (const auto& box : desktop.shownOf(platform::memory::Shown::MessageBox)) {
    if (box.caption == "File Not Valid") refusals.push_back(box.text.substr(box.text.rfind(' ') + 1));
  }
  std::vector<std::string> expected(4, "copied.");
  expected.resize(8, "deleted.");
  EXPECT_EQ(refusals, expected);

}

// A directory cut short by a silent line lists the records that arrived whole, and no other.
TEST_F(DataSafetyTest, DirectoryCutAtAnyByteListsOnlyWholeRecords) {
  start("[removable]\nVID00001.MPG 1000\nVID00002.MPG 1000\nVID00003.MPG 1000\n");
  for (int cut = 0; cut <= 3 * static_cast<int>(sim::kRecordBytes); ++cut) {
    unit.addFault({.command = "?D", .fault = sim::Fault::Truncated, .count = cut});
    ASSERT_TRUE(dialog->listDrive(Removable));
    EXPECT_EQ(list(Removable).rowCount(), cut / static_cast<int>(sim::kRecordBytes)) << "cut after " << cut;
  }
}

}  // namespace
