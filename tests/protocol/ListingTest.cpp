// The drive listing through the simulated unit on the virtual clock: raw directory records
// in, list rows and summary lines out, and the waits, progress and failures around them.
#include <gmock/gmock.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "ProtocolFixture.h"

namespace {

using namespace std::literals;
using directory::Record;
using ::testing::ElementsAre;
using platform::IDOK;
using platform::memory::Shown;
using sim::Fault;

class ListingTest : public ProtocolFixture {
 protected:
  // Lists the drive with a capacity of the given sectors; true when the selection succeeded.
  bool listWith(DriveKind drive, std::uint32_t sectors = 65536) {
    unit.drive(drive).sectors = sectors;
    return dialog->listDrive(drive);
  }
};

// One directory in, the rows of the list out ("name|length|size|image|key", in list order).
struct RecordCase {
  const char* what;
  std::vector<Record> records;
  std::vector<std::string> rows;
};

std::ostream& operator<<(std::ostream& out, const RecordCase& test) { return out << test.what; }

Record withFirstByte(Record record, std::uint8_t first) {
  record[0] = first;
  return record;
}

const RecordCase kRecordCases[] = {
    {"video clip", {makeRecord("VID00007MPG", 352800)}, {"VID00007.MPG|00:00:02|352KB|0|7"}},
    {"sound", {makeRecord("SND00042WAV", 176400 * 61)}, {"SND00042.WAV|00:01:01|10,760KB|1|42"}},
    {"play list has no length", {makeRecord("PLY00003LST", 5000)}, {"PLY00003.LST||5KB|2|3"}},
    {"command file", {makeRecord("COMMAND1BAT", 100)}, {"COMMAND1.BAT||1KB|3|0"}},
    {"other file", {makeRecord("README  TXT", 1234567)}, {"README.TXT||1,234KB|4|-1"}},
    {"lower case is no clip", {makeRecord("vid00001mpg", 176400)}, {"vid00001.mpg||176KB|4|-1"}},
    {"eleven characters are no clip", {makeRecord("VID0001 MPG", 176400)}, {"VID0001.MPG||176KB|4|-1"}},
    {"empty clip", {makeRecord("VID00001MPG", 0)}, {"VID00001.MPG|00:00:00|1KB|0|1"}},
    {"largest size", {makeRecord("VID00999DKV", 0xFFFFFFFF)}, {"VID00999.DKV|06:45:47|4,294,967KB|0|999"}},
    {"no extension", {makeRecord("TEST", 10)}, {"TEST||1KB|4|-1"}},
    {"short extension keeps the blank", {makeRecord("README  TX", 10)}, {"README TX||1KB|4|-1"}},
    {"0x05 stands for 0xE5",
     {makeRecord("\x05"
                 "BC     TXT",
                 10)},
     {"\xE5"
      "BC.TXT||1KB|4|-1"}},
    {"long-name record skipped",
     {makeRecord("Av\0i\0d\0.\0m\0"sv, 0xFFFFFFFF, 0x0F), makeRecord("VID00002MPG", 176400)},
     {"VID00002.MPG|00:00:01|176KB|0|2"}},
    {"deleted record skipped",
     {withFirstByte(makeRecord("VID00003MPG", 10), 0xE5), makeRecord("SND00001MP3", 10)},
     {"SND00001.MP3|00:00:00|1KB|1|1"}},
    {"dot records skipped",
     {makeRecord(".", 0, 0x10), makeRecord("..", 0, 0x10), makeRecord("VID00004MPG", 10)},
     {"VID00004.MPG|00:00:00|1KB|0|4"}},
    {"volume label listed like a file", {makeRecord("DORVIK", 0, 0x08)}, {"DORVIK||1KB|4|-1"}},
    {"trailing tab trimmed", {makeRecord("AB\t     TXT", 2000)}, {"AB.TXT||2KB|4|-1"}},
    {"control and high bytes kept",
     {makeRecord("\x01\xFF\x7F"
                 "     \x80\x1B\xC3",
                 1)},
     {"\x01\xFF\x7F.\x80\x1B\xC3||1KB|4|-1"}},
    {"all blanks", {makeRecord("", 1)}, {"||1KB|4|-1"}},
};

class RecordTableTest : public ListingTest, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(RecordTableTest, RecordBecomesRow) {
  const RecordCase& test = GetParam();
  putRecords(Removable, test.records);
  ASSERT_TRUE(listWith(Removable));
  const auto got = rows(Removable);
  EXPECT_EQ(got, test.rows) << "expected: " << ::testing::PrintToString(test.rows)
                            << "\n     got: " << ::testing::PrintToString(got);
}

INSTANTIATE_TEST_SUITE_P(Records, RecordTableTest, ::testing::ValuesIn(kRecordCases));

TEST_F(ListingTest, RowsAreSortedByClipNumberWithOtherNamesFirst) {
  putRecords(Internal, {makeRecord("VID00012MPG", 1), makeRecord("COMMAND1BAT", 1), makeRecord("PLY00002RND", 1),
                        makeRecord("README  TXT", 1), makeRecord("SND00005DKS", 1)});
  ASSERT_TRUE(listWith(Internal));
  EXPECT_EQ(labels(Internal),
            (std::vector<std::string>{"README.TXT", "COMMAND1.BAT", "PLY00002.RND", "SND00005.DKS", "VID00012.MPG"}));
  EXPECT_EQ(list(Internal).lastSortCode(), 2);
}

TEST_F(ListingTest, All511RecordsAreListed) {
  std::vector<Record> records;
  for (int i = 510; i >= 0; --i) {
    char name[12];
    std::snprintf(name, sizeof name, "VID%05dMPG", i);
    records.push_back(makeRecord(name, 1000));
  }
  putRecords(Removable, records);
  ASSERT_TRUE(listWith(Removable));

  const auto& rows = list(Removable).rows();
  ASSERT_EQ(rows.size(), 511u);
  EXPECT_EQ(rows.front().cells[0], "VID00000.MPG");
  EXPECT_EQ(rows.back().cells[0], "VID00510.MPG");
  EXPECT_EQ(dialog->removableUsedBytes, 511000u);
}

TEST_F(ListingTest, EmptyDriveShowsTheWholeCapacityFree) {
  putRecords(Removable, {});
  ASSERT_TRUE(listWith(Removable, 0x010000));  // the reply 00 01 00 00
  EXPECT_EQ(list(Removable).rowCount(), 0);
  EXPECT_EQ(dialog->removableCapacityBytes, 33554432u);
  EXPECT_EQ(dialog->removableSummaryText, "0KB (Disk free space: 33MB)");
  EXPECT_EQ(window->removableSummary.text(), "0KB (Disk free space: 33MB)");
}

struct SummaryCase {
  const char* what;
  std::vector<std::uint32_t> sizes;
  std::uint32_t sectors;
  const char* summary;
};

std::ostream& operator<<(std::ostream& out, const SummaryCase& test) { return out << test.what; }

class SummaryTest : public ListingTest, public ::testing::WithParamInterface<SummaryCase> {};

TEST_P(SummaryTest, SummaryLineOfTheDrive) {
  const SummaryCase& test = GetParam();
  std::vector<Record> records;
  for (std::size_t i = 0; i < test.sizes.size(); ++i) {
    records.push_back(makeRecord("FILE" + std::to_string(1000 + i) + "BIN", test.sizes[i]));
  }
  putRecords(Internal, records);
  ASSERT_TRUE(listWith(Internal, test.sectors));
  EXPECT_EQ(dialog->internalSummaryText, test.summary);
  EXPECT_EQ(window->internalSummary.text(), test.summary);
}

INSTANTIATE_TEST_SUITE_P(
    Totals, SummaryTest,
    ::testing::Values(SummaryCase{"example", {12000000, 345678}, 1953125, "12,345KB (Disk free space: 987MB)"},
                      SummaryCase{"more used than the capacity", {1000000}, 1, "1,000KB (Disk free space: 0MB)"},
                      // 511 files of 4 GiB - 1 would wrap a 32-bit total many times over.
                      SummaryCase{"largest total", std::vector<std::uint32_t>(511, 0xFFFFFFFF), 0xFFFFFF,
                                  "2,194,728,287KB (Disk free space: 0MB)"},
                      SummaryCase{"largest capacity", {}, 0xFFFFFF, "0KB (Disk free space: 8,589MB)"}),
    [](const auto& info) {
      std::string name = info.param.what;
      std::erase(name, ' ');
      std::erase(name, '-');
      return name;
    });

TEST_F(ListingTest, LeadingEmptyRecordsLetNoStaleRecordsIn) {
  // A first listing leaves its records in the shared buffer.
  std::vector<Record> stale;
  for (int i = 0; i < 300; ++i) stale.push_back(makeRecord("OLD" + std::to_string(10000 + i) + "TXT", 1));
  putRecords(Internal, stale);
  ASSERT_TRUE(listWith(Internal));

  // Three empty records, then 140 in use: the later blocks must follow without a gap.
  std::vector<Record> records;
  for (int i = 0; i < 140; ++i) {
    char name[12];
    std::snprintf(name, sizeof name, "SND%05dWAV", i);
    records.push_back(makeRecord(name, 1000));
  }
  putRecords(Removable, records, 3);
  ASSERT_TRUE(listWith(Removable));

  const auto names = labels(Removable);
  ASSERT_EQ(names.size(), 140u);
  EXPECT_EQ(names.front(), "SND00000.WAV");
  EXPECT_EQ(names.back(), "SND00139.WAV");
  EXPECT_EQ(dialog->removableSummaryText, "140KB (Disk free space: 33MB)");
}

TEST_F(ListingTest, EachDriveFillsItsOwnListAndSummary) {
  seed("[internal]\nVID00001.MPG 5000\n[removable]\nSND00002.WAV 7000\ncapacity 2048\n");
  ASSERT_TRUE(dialog->listDrive(Internal));
  EXPECT_EQ(takeLines(), (std::vector<std::string>{"0SL", "?R", "?D"}));
  EXPECT_EQ(dialog->currentDrive, Internal);
  ASSERT_TRUE(dialog->listDrive(Removable));
  EXPECT_EQ(takeLines(), (std::vector<std::string>{"1SL", "?R", "?D"}));
  EXPECT_EQ(dialog->currentDrive, Removable);

  EXPECT_EQ(labels(Internal), std::vector<std::string>{"VID00001.MPG"});
  EXPECT_EQ(labels(Removable), std::vector<std::string>{"SND00002.WAV"});
  EXPECT_EQ(dialog->internalListed, 1);
  EXPECT_EQ(dialog->removableListed, 1);
  EXPECT_EQ(dialog->internalUsedBytes, 5000u);
  EXPECT_EQ(dialog->removableUsedBytes, 7000u);
  EXPECT_EQ(window->internalSummary.text(), "5KB (Disk free space: 33MB)");
  EXPECT_EQ(window->removableSummary.text(), "7KB (Disk free space: 1MB)");
}

TEST_F(ListingTest, RefusedSelectionKeepsTheListAndSummary) {
  seed("[removable]\nVID00001.MPG 5000\n");
  ASSERT_TRUE(listWith(Removable));
  const auto rowsBefore = rows(Removable);
  const std::string summaryBefore = window->removableSummary.text();
  lines.clear();

  unit.drive(Removable).present = false;
  desktop.answer(IDOK);
  EXPECT_FALSE(dialog->listDrive(Removable));

  EXPECT_EQ(boxes(), std::vector<std::string>{
                         "Error Code 11 Received|The selected drive is not present\nPlease insert the drive and choose "
                         "Refresh"});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].line, "1SL");
  EXPECT_EQ(rows(Removable), rowsBefore);
  EXPECT_EQ(window->removableSummary.text(), summaryBefore);
  EXPECT_EQ(dialog->removableSummaryText, summaryBefore);
}

TEST_F(ListingTest, ProgressRunsWhileTheMainWindowIsDisabled) {
  seed("[internal]\nVID00001.MPG 5000\n");
  window->internalList.enable(false);
  ASSERT_TRUE(dialog->listDrive(Internal));

  EXPECT_EQ(desktop.percentHistory, (std::vector<std::string>{"25%", "50%", "75%", "100%"}));
  EXPECT_EQ(shownCount(Shown::ProgressCreated), 1);
  EXPECT_EQ(shownCount(Shown::ProgressDestroyed), 1);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(lines[0].mainWindowEnabled);
  EXPECT_FALSE(lines[2].mainWindowEnabled) << "the main window was enabled while ?D was read";
  EXPECT_TRUE(window->window.isEnabled());
  EXPECT_TRUE(window->internalList.isEnabled());
}

TEST_F(ListingTest, SilentDataRepliesCostTheirExactWaits) {
  seed("[internal]\nVID00001.MPG 5000\n");
  addFault("?R", Fault::Truncated, 0);
  addFault("?D", Fault::Truncated, 0);
  desktop.answer(IDOK);
  ASSERT_TRUE(dialog->listDrive(Internal));

  // ?R: one byte's 2000 ms; ?D: 6000 ms for each of the four blocks; a drain after each.
  EXPECT_EQ(sentAtMs("?D") - sentAtMs("?R"), 2000 + 200);
  EXPECT_EQ(clock.nowMs() - sentAtMs("?D"), 4 * 6000 + 100);
  EXPECT_EQ(list(Internal).rowCount(), 0);
  EXPECT_EQ(dialog->internalSummaryText, "0KB (listing incomplete)");
  EXPECT_THAT(boxes(), ElementsAre(std::string(ExplorerDialog::kIncompleteCaption) +
                                   "|The Internal Drive did not send its whole directory:\nthe list shows only the "
                                   "files that came.\nChoose Refresh to try again."));
  EXPECT_TRUE(dialogs().empty());
}

TEST_F(ListingTest, UnitFallingSilentMidBlockListsWhatArrived) {
  seed("[removable]\nVID00001.MPG 1000\nVID00002.MPG 2000\nVID00003.MPG 3000\nVID00004.MPG 4000\n");
  addFault("?D", Fault::Truncated, 3 * 32);
  desktop.answer(IDOK);
  ASSERT_TRUE(listWith(Removable));

  EXPECT_EQ(labels(Removable), (std::vector<std::string>{"VID00001.MPG", "VID00002.MPG", "VID00003.MPG"}));
  EXPECT_EQ(clock.nowMs() - sentAtMs("?D"), 4 * 6000 + 100);
  EXPECT_EQ(desktop.percentHistory.back(), "100%");
  EXPECT_FALSE(dialog->listingComplete);
  EXPECT_EQ(dialog->removableSummaryText, "6KB (listing incomplete)");
}

TEST_F(ListingTest, SurplusAfterTheDirectoryIsDrained) {
  seed("[removable]\nVID00001.MPG 1000\n");
  addFault("?D", Fault::Surplus, 40);
  ASSERT_TRUE(listWith(Removable));
  EXPECT_FALSE(unit.peekOutput().has_value());
  EXPECT_TRUE(dialog->sendCommand("0SL"));
}

// Whatever the unit sends as its directory, the listing ends and the window stays sound.
TEST_F(ListingTest, CorruptedDirectoriesListWithoutCrashing) {
  std::mt19937 random(4711);
  const auto shapes = {
      +[](std::mt19937& r, std::size_t) { return static_cast<std::uint8_t>(r()); },
      +[](std::mt19937& r, std::size_t i) { return static_cast<std::uint8_t>(i % 32 == 11 ? 0x0F : r()); },
      +[](std::mt19937& r, std::size_t) { return static_cast<std::uint8_t>(1 + r() % 31); },
      +[](std::mt19937& r, std::size_t) { return static_cast<std::uint8_t>(128 + r() % 128); },
  };
  for (int round = 0; round < 8; ++round) {
    for (auto shape : shapes) {
      auto& table = unit.drive(Removable).directory;
      for (std::size_t i = 0; i < table.size(); ++i) table[i] = shape(random, i);
      ASSERT_TRUE(listWith(Removable, random() % 0x1000000));
      const auto& listed = list(Removable).rows();
      ASSERT_LE(listed.size(), 511u);
      for (const auto& row : listed) ASSERT_TRUE(row.image >= 0 && row.image <= 4);
      EXPECT_FALSE(window->removableSummary.text().empty());
    }
  }
}

}  // namespace
