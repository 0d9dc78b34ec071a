// What copy, delete, rename and format do to the raw directory records.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "SimTesting.h"

namespace {

using simtest::exchange;
using simtest::field;
using simtest::recordName;

class UnitDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(
        unit.seedManifest("[internal]\nVID00001.MPG 100\nVID00002.MPG 200\nVID00003.MPG 300\n"
                          "[removable]\nVID00012.MPG 1764000\nREADME 9\n"));
  }

  const std::uint8_t* record(DriveKind kind, int index) {
    return unit.drive(kind).directory.data() + index * sim::kRecordBytes;
  }
  // Turns a record into a long-name record (attribute 0x0F), as VFAT puts them before a file.
  void makeLongName(DriveKind kind, int index) {
    auto* r = unit.drive(kind).directory.data() + index * sim::kRecordBytes;
    r[0] = 0x41;
    r[11] = sim::kAttrLongName;
  }

  sim::Unit unit;
};

TEST_F(UnitDirectory, CopyTakesTheFirstDeletedSlotAndKeepsTheRecord) {
  ASSERT_EQ(exchange(unit, "VID00002MPGDL"), "R\rR\r");
  ASSERT_EQ(exchange(unit, "VID00012MPGCI"), "R\rR\r");
  EXPECT_EQ(recordName(unit.drive(Internal), 1), field("VID00012.MPG"));
  EXPECT_EQ(std::memcmp(record(Internal, 1), record(Removable, 0), sim::kRecordBytes), 0);
  EXPECT_EQ(unit.drive(Internal).fileSize(1), 1764000u);
  EXPECT_EQ(unit.drive(Removable).find(field("VID00012.MPG")), 0) << "the source stays";
}

TEST_F(UnitDirectory, CopyTakesTheFirstFreeSlotWhenNoneIsDeleted) {
  ASSERT_EQ(exchange(unit, "README     CI"), "R\rR\r");
  EXPECT_EQ(recordName(unit.drive(Internal), 3), "README     ");
  EXPECT_EQ(unit.drive(Internal).fileSize(3), 9u);
}

TEST_F(UnitDirectory, CopyOverTheSameNameReplacesItInPlace) {
  ASSERT_TRUE(unit.seedManifest("[removable]\nVID00002.MPG 4444\n"));
  ASSERT_EQ(exchange(unit, "VID00002MPGCI"), "R\rR\r");
  EXPECT_EQ(unit.drive(Internal).find(field("VID00002.MPG")), 1);
  EXPECT_EQ(unit.drive(Internal).fileSize(1), 4444u);
  EXPECT_EQ(unit.drive(Internal).freeSlot(), 3);
}

TEST_F(UnitDirectory, CopyIntoAFullTableFailsInItsSecondReply) {
  auto& internal = unit.drive(Internal);
  internal.sectors = 0xFFFFFF;
  for (int i = 3; i < static_cast<int>(sim::kRecords); ++i) {
    ASSERT_TRUE(internal.addFile(std::string("F").append(std::to_string(i)).append(".DAT"), 1));
  }
  const auto before = internal.directory;
  EXPECT_EQ(exchange(unit, "VID00012MPGCI"), "R\rE04\r");
  EXPECT_EQ(internal.directory, before);
  EXPECT_FALSE(internal.addFile("ONEMORE.DAT", 1));
}

TEST_F(UnitDirectory, DeleteMarksTheRecordAndItsLongNameRecords) {
  unit.drive(Internal).addFile("VID00004.MPG", 400);  // slot 3, after VID00001 and two long names
  makeLongName(Internal, 1);
  makeLongName(Internal, 2);
  const auto before = unit.drive(Internal).directory;
  ASSERT_EQ(exchange(unit, "VID00004MPGDL"), "R\rR\r");
  const auto& after = unit.drive(Internal).directory;
  for (int i : {1, 2, 3}) EXPECT_EQ(after[i * sim::kRecordBytes], sim::kDeletedMarker) << "record " << i;
  EXPECT_EQ(unit.drive(Internal).find(field("VID00001.MPG")), 0) << "the file before the long names stays";
  for (std::size_t i = 0; i < sim::kDirectoryBytes; ++i) {
    if (i % sim::kRecordBytes == 0) continue;
    ASSERT_EQ(after[i], before[i]) << "only first bytes change, at " << i;
  }
  EXPECT_EQ(exchange(unit, "VID00004MPGDL"), "E12\r") << "a deleted record is not found again";
}

TEST_F(UnitDirectory, RenameRewritesNameAndExtensionOnly) {
  const auto before = unit.drive(Internal).directory;
  ASSERT_EQ(exchange(unit, "VID00002MPGSND00007WAVRN"), "R\r");
  const auto& after = unit.drive(Internal).directory;
  EXPECT_EQ(recordName(unit.drive(Internal), 1), "SND00007WAV");
  EXPECT_TRUE(std::equal(after.begin() + 32 + 11, after.end(), before.begin() + 32 + 11));
  EXPECT_TRUE(std::equal(after.begin(), after.begin() + 32, before.begin()));
  EXPECT_EQ(exchange(unit, "007SE"), "R\r") << "the new name is playable";
}

TEST_F(UnitDirectory, FormatEmptiesTheTable) {
  unit.drive(Removable).formatted = false;
  exchange(unit, "1SL");
  ASSERT_EQ(exchange(unit, "FO"), "R\rR\r");
  EXPECT_TRUE(unit.drive(Removable).formatted);
  EXPECT_EQ(unit.drive(Removable).directory, decltype(unit.drive(Removable).directory){});
  EXPECT_EQ(unit.drive(Internal).find(field("VID00001.MPG")), 0) << "the other drive is untouched";
}

TEST_F(UnitDirectory, OnlyFileRecordsAnswerToAName) {
  auto& internal = unit.drive(Internal);
  internal.directory[0 * sim::kRecordBytes + 11] = sim::kAttrVolume;
  internal.directory[1 * sim::kRecordBytes + 11] = sim::kAttrDirectory;
  makeLongName(Internal, 2);
  std::memcpy(internal.directory.data() + 2 * sim::kRecordBytes, "VID00003MPG", 11);
  EXPECT_EQ(internal.find(field("VID00001.MPG")), -1);
  EXPECT_EQ(internal.find(field("VID00002.MPG")), -1);
  EXPECT_EQ(internal.find(field("VID00003.MPG")), -1);
  EXPECT_EQ(exchange(unit, "001SE"), "E12\r");
  EXPECT_EQ(internal.usedBytes(), 0u);
}

TEST_F(UnitDirectory, A05FirstByteStandsForE5) {
  auto& internal = unit.drive(Internal);
  ASSERT_TRUE(
      internal.addFile("\xE5"
                       "BC.MPG",
                       5));
  EXPECT_EQ(internal.directory[3 * sim::kRecordBytes], 0x05);
  EXPECT_EQ(internal.find("\xE5"
                          "BC     MPG"),
            3);
  EXPECT_EQ(internal.usedBytes(), 100u + 200 + 300 + 5);
}

TEST(NameField, PadsNameAndExtension) {
  EXPECT_EQ(sim::nameFieldOf("VID00012.MPG"), "VID00012MPG");
  EXPECT_EQ(sim::nameFieldOf("AB.X"), "AB      X  ");
  EXPECT_EQ(sim::nameFieldOf("TEST"), "TEST       ");
  EXPECT_EQ(sim::nameFieldOf("ABC."), "ABC        ");
  for (const char* bad : {"", ".MPG", "ABCDEFGHI.X", "A.MPEG", "A.B.C"}) {
    EXPECT_FALSE(sim::nameFieldOf(bad).has_value()) << bad;
  }
}

}  // namespace
