// Sorting by a header click: keys from the Name or Length cell, the direction flipping on
// every click of the same list, and the one compare function of every sort.
#include <gmock/gmock.h>

#include <climits>

#include "UiTest.h"
#include "protocol/Directory.h"

using ::testing::ElementsAre;

namespace {

constexpr int kName = 0;
constexpr int kLength = 1;
constexpr int kSize = 2;

}  // namespace

TEST(CompareSortKeys, EvenCodesAscendOthersDescend) {
  const struct {
    std::int32_t first, second, code;
    int sign;
  } cases[] = {
      {3, 7, 2, -1},
      {3, 7, 4, -1},
      {3, 7, 6, -1},
      {3, 7, 1, 1},
      {3, 7, 3, 1},
      {3, 7, 0, 1},
      {-1, 3, 2, -1},
      {-1, 3, 1, 1},
      {7, 7, 2, 0},
      {7, 7, 1, 0},
      {INT_MIN, INT_MAX, 2, -1},
      {INT_MAX, INT_MIN, 2, 1},
  };
  for (const auto& each : cases) {
    const int result = compareSortKeys(each.first, each.second, each.code);
    EXPECT_EQ((result > 0) - (result < 0), each.sign) << each.first << " vs " << each.second << " code " << each.code;
  }
}

TEST_F(UiTest, NameHeaderSortsByClipNumberWithOtherNamesAtOneEnd) {
  for (const char* name : {"VID00007.MPG", "COMMAND1.BAT", "SND00012.WAV", "PLY00003.LST", "README.TXT"}) {
    addRow(Removable, name);
  }
  auto& rows = list(Removable);

  dialog->onColumnClick(Removable, kName);  // from code 0: descending
  EXPECT_EQ(dialog->removableSortCode, 1);
  EXPECT_THAT(rows.labels(), ElementsAre("SND00012.WAV", "VID00007.MPG", "PLY00003.LST", "COMMAND1.BAT", "README.TXT"));

  dialog->onColumnClick(Removable, kName);
  EXPECT_EQ(dialog->removableSortCode, 2);
  EXPECT_EQ(rows.itemData(0), -1);
  EXPECT_EQ(rows.itemData(1), -1);
  const auto labels = rows.labels();
  EXPECT_THAT(std::vector<std::string>(labels.begin() + 2, labels.end()),
              ElementsAre("PLY00003.LST", "VID00007.MPG", "SND00012.WAV"));
  EXPECT_EQ(rows.itemData(2), 3);
  EXPECT_EQ(rows.itemData(4), 12);
}

TEST_F(UiTest, SameClipNumberTies) {
  addRow(Internal, "VID00007.MPG");
  addRow(Internal, "SND00007.MP3");
  dialog->onColumnClick(Internal, kName);
  EXPECT_EQ(list(Internal).itemData(0), 7);
  EXPECT_EQ(list(Internal).itemData(1), 7);
  EXPECT_EQ(compareSortKeys(list(Internal).itemData(0), list(Internal).itemData(1), dialog->internalSortCode), 0);
}

TEST_F(UiTest, SizeHeaderSortsByLengthWithPlayListsAtZero) {
  // The Size texts run the other way round, so a sort by their text would show.
  addRow(Removable, "VID00001.MPG", "01:02:03", "1KB");
  addRow(Removable, "PLY00002.LST", "", "9KB");
  addRow(Removable, "SND00003.WAV", "00:00:59", "99KB");
  addRow(Removable, "VID00004.MPG", "00:10:00", "5KB");
  addRow(Removable, "COMMAND1.BAT", "", "1KB");
  auto& rows = list(Removable);
  dialog->removableSortCode = 1;  // odd: the next click ascends

  dialog->onColumnClick(Removable, kSize);
  EXPECT_EQ(dialog->removableSortCode, 4);
  EXPECT_THAT(rows.labels(),
              ElementsAre("COMMAND1.BAT", "PLY00002.LST", "SND00003.WAV", "VID00004.MPG", "VID00001.MPG"));
  EXPECT_EQ(rows.itemData(0), -1);
  EXPECT_EQ(rows.itemData(1), 0);
  EXPECT_EQ(rows.itemData(2), 59);
  EXPECT_EQ(rows.itemData(3), 1000);
  EXPECT_EQ(rows.itemData(4), 10203);
}

TEST_F(UiTest, BlankLengthKeysZero) {
  addRow(Removable, "VID00001.MPG", "        ");
  addRow(Removable, "VID00002.MPG", "00:00:01");
  dialog->onColumnClick(Removable, kLength);
  EXPECT_THAT(list(Removable).labels(), ElementsAre("VID00002.MPG", "VID00001.MPG"));
  EXPECT_EQ(list(Removable).itemData(1), 0);
}

TEST_F(UiTest, EveryClickReversesThePreviousDirectionAcrossColumns) {
  addRow(Removable, "VID00001.MPG", "00:00:30");
  addRow(Removable, "VID00002.MPG", "00:00:10");
  addRow(Removable, "VID00003.MPG", "00:00:20");
  const struct {
    int column;
    std::int32_t code;
    std::vector<std::string> order;
  } clicks[] = {
      {kName, 1, {"VID00003.MPG", "VID00002.MPG", "VID00001.MPG"}},
      {kName, 2, {"VID00001.MPG", "VID00002.MPG", "VID00003.MPG"}},
      {kLength, 3, {"VID00001.MPG", "VID00003.MPG", "VID00002.MPG"}},
      {kSize, 4, {"VID00002.MPG", "VID00003.MPG", "VID00001.MPG"}},
      {kName, 1, {"VID00003.MPG", "VID00002.MPG", "VID00001.MPG"}},
      {kLength, 4, {"VID00002.MPG", "VID00003.MPG", "VID00001.MPG"}},
  };
  for (const auto& click : clicks) {
    dialog->onColumnClick(Removable, click.column);
    EXPECT_EQ(dialog->removableSortCode, click.code) << "column " << click.column;
    EXPECT_EQ(list(Removable).labels(), click.order) << "column " << click.column;
    EXPECT_EQ(list(Removable).lastSortCode(), click.code);
  }
}

TEST_F(UiTest, EachListKeepsItsOwnSortCode) {
  dialog->onColumnClick(Internal, kName);
  dialog->onColumnClick(Internal, kName);
  EXPECT_EQ(dialog->internalSortCode, 2);
  EXPECT_EQ(dialog->removableSortCode, 0);

  dialog->onColumnClick(Removable, kLength);
  EXPECT_EQ(dialog->removableSortCode, 3);
  EXPECT_EQ(dialog->internalSortCode, 2);
}

TEST_F(UiTest, HeaderClickOnAnEmptyListOnlyChangesTheCode) {
  dialog->onColumnClick(Internal, kLength);
  EXPECT_EQ(dialog->internalSortCode, 3);
  EXPECT_EQ(list(Internal).rowCount(), 0);
}

TEST_F(UiTest, OddNamesAndLengthsKeyWithoutHarm) {
  for (const char* name : {"", "V", "VID", "VID0012.MPG", "VID00012.MPGX", "vid00012.mpg"})
    addRow(Internal, name, "1:2");
  addRow(Internal, "VID00012.MPG", "1:2");
  addRow(Internal, "SND00013.WAV", std::string("\0\0:\x01", 4));
  dialog->onColumnClick(Internal, kName);
  dialog->onColumnClick(Internal, kLength);
  auto& rows = list(Internal);
  for (int row = 0; row < rows.rowCount(); ++row) {
    const std::string name = rows.cell(row, 0);
    const bool playable = name == "VID00012.MPG" || name == "SND00013.WAV";
    EXPECT_EQ(rows.itemData(row) >= 0, playable) << '"' << name << '"';
  }
}
