// The directory helpers as tables: text in, text or number out. Record-to-row conversion is
// tested end to end in ListingTest; here are the rules that other areas reuse on their own.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "protocol/Directory.h"

namespace {

using namespace directory;

TEST(ClipKindTest, PatternsAreExactAndCaseSensitive) {
  const struct {
    const char* name;
    unsigned kind;
  } cases[] = {
      {"VID00000.MPG", VideoClip},
      {"VID00999.DKV", VideoClip},
      {"SND00001.DKS", SoundClip},
      {"SND00001.SFD", SoundClip},
      {"SND00001.WAV", SoundClip},
      {"SND00001.MP3", SoundClip},
      {"PLY00001.LST", PlayList},
      {"PLY00001.RND", PlayList},
      {"COMMAND0.BAT", CommandFile},
      {"COMMAND9.BAT", CommandFile},
      {"VID01000.MPG", OtherFile},  // the two zeros belong to the pattern
      {"VID00A01.MPG", OtherFile},
      {"VID00001.mpg", OtherFile},
      {"vid00001.MPG", OtherFile},
      {"VID00001.WAV", OtherFile},  // an extension of another kind
      {"SND00001.MPG", OtherFile},
      {"PLY00001.BAT", OtherFile},
      {"COMMANDX.BAT", OtherFile},
      {"COMMAND1.MPG", OtherFile},
      {"VID00001MPG.", OtherFile},
      {"VID00001 MPG", OtherFile},
      {"VID0001.MPG", OtherFile},
      {"VID000001.MPG", OtherFile},
      {"", OtherFile},
      {"VID00001.MPG ", OtherFile},
      {"\xFF\xFE\x01\x80\x00\x1B\x7F....", OtherFile},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(clipKind(test.name), test.kind) << "name: " << ::testing::PrintToString(std::string(test.name));
  }
}

TEST(ListingSortKeyTest, ClipNumberForClipsZeroForCommandsElseMinusOne) {
  const struct {
    const char* name;
    std::int32_t key;
  } cases[] = {
      {"VID00007.MPG", 7},
      {"SND00999.WAV", 999},
      {"PLY00000.RND", 0},
      {"COMMAND1.BAT", 0},
      {"README.TXT", -1},
      {"VID01000.MPG", -1},
      {"", -1},
  };
  for (const auto& test : cases) EXPECT_EQ(listingSortKey(test.name), test.key) << "name: " << test.name;
}

TEST(GroupDigitsTest, CommaBetweenGroupsOfThree) {
  const struct {
    std::uint64_t value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {999, "999"},
      {1000, "1,000"},
      {123456, "123,456"},
      {1234567, "1,234,567"},
      {std::numeric_limits<std::uint64_t>::max(), "18,446,744,073,709,551,615"},
  };
  for (const auto& test : cases) EXPECT_EQ(groupDigits(test.value), test.text) << "value: " << test.value;
}

TEST(LengthAndSizeTextTest, FromTheRecordSize) {
  const struct {
    std::uint32_t size;
    const char* length;
    const char* sizeText;
  } cases[] = {
      {0, "00:00:00", "1KB"},
      {1999, "00:00:00", "1KB"},
      {2000, "00:00:00", "2KB"},
      {176399, "00:00:00", "176KB"},
      {176400, "00:00:01", "176KB"},
      {176400u * 59, "00:00:59", "10,407KB"},
      {176400u * 60, "00:01:00", "10,584KB"},
      {176400u * 3600, "01:00:00", "635,040KB"},
      {1234567, "00:00:06", "1,234KB"},
      {0xFFFFFFFF, "06:45:47", "4,294,967KB"},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(lengthTextOf(test.size), test.length) << "size: " << test.size;
    EXPECT_EQ(sizeTextOf(test.size), test.sizeText) << "size: " << test.size;
  }
}

TEST(DecimalValueTest, BlanksSignDigitsUpToTheFirstNonDigit) {
  const struct {
    const char* text;
    std::int32_t value;
  } cases[] = {
      {"00007", 7},
      {"  42x", 42},
      {"\t12", 12},
      {"-7", -7},
      {"+5", 5},
      {"", 0},
      {"abc", 0},
      {"MAND1", 0},
      {" - 3", 0},
      {"010203", 10203},
      {"2147483647", 2147483647},
      {"99999999999", 2147483647},
      {"-99999999999", std::numeric_limits<std::int32_t>::min()},
      {"\xFF"
       "12",
       0},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(decimalValue(test.text), test.value) << "text: " << ::testing::PrintToString(std::string(test.text));
  }
}

TEST(CapacityTest, SectorsInBytesOneToThreeTimes512) {
  EXPECT_EQ(capacityBytes({0x00, 0x01, 0x00, 0x00}), 33554432u);
  EXPECT_EQ(capacityBytes({0xFF, 0x00, 0x00, 0x01}), 512u);  // the first byte is not used
  EXPECT_EQ(capacityBytes({0x00, 0xFF, 0xFF, 0xFF}), 8589934080u);
  EXPECT_EQ(capacityBytes({0x00, 0x00, 0x00, 0x00}), 0u);
}

// The listing tests cover the usual lines; here the rounding at the edges.
TEST(SummaryTextTest, FiguresRoundDown) {
  EXPECT_EQ(summaryText(999, 999999), "0KB (Disk free space: 0MB)");
  EXPECT_EQ(summaryText(1000, 2001000), "1KB (Disk free space: 2MB)");
  EXPECT_EQ(summaryText(1000001, 1000000), "1,000KB (Disk free space: 0MB)");
}

// A directory whose first n records are empty and whose records follow from there.
Listing directoryWithGap(std::size_t emptyRecords, std::size_t usedRecords) {
  Listing raw{};
  for (std::size_t i = 0; i < usedRecords; ++i)
    raw[(emptyRecords + i) * kRecordBytes] = static_cast<std::uint8_t>(1 + i % 200);
  return raw;
}

TEST(PackListingTest, RecordsStayContiguousAfterLeadingEmptyRecords) {
  const struct { std::size_t emptyRecords, usedRecords; } cases[] = {{0, 511}, {1, 200}, {127, 300}, {3, 0}, {128, 10}};
  for (const auto& test : cases) {
    SCOPED_TRACE(::testing::Message() << test.emptyRecords << " empty, " << test.usedRecords << " used");
    const Listing raw = directoryWithGap(test.emptyRecords, test.usedRecords);
    Listing packed;
    packed.fill(0xAA);  // whatever an earlier listing left
    packListing(raw, packed);
    // Only a gap inside the first block is closed; a drive whose first 128 records are all
    // empty has nothing to list.
    const std::size_t shift = test.emptyRecords < 128 && test.usedRecords > 0 ? test.emptyRecords : 0;
    for (std::size_t record = 0; record < kRecordCount; ++record) {
      const std::size_t from = (record + shift) * kRecordBytes;
      const std::uint8_t expected = from < kListingBytes ? raw[from] : 0;
      ASSERT_EQ(packed[record * kRecordBytes], expected) << "record " << record;
    }
  }
}

// Random records, however hostile, convert without reading outside the record.
TEST(RecordNameTest, AnyBytesAreSafe) {
  std::mt19937 random(20261209);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 20000; ++round) {
    Record record;
    for (auto& value : record) value = static_cast<std::uint8_t>(byte(random));
    if (round % 3 == 0) record[11] = 0x0F;
    const auto name = recordName(record.data());
    if ((record[11] & 0x0F) == 0x0F || record[0] == 0xE5 || record[0] == 0x2E) {
      EXPECT_FALSE(name.has_value());
      continue;
    }
    ASSERT_TRUE(name.has_value());
    EXPECT_LE(name->size(), 12u);  // eight, a dot or blank, three
  }
}

}  // namespace
