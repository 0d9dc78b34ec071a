// Seeding from manifest text: good manifests, and every bad line named by its number.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "SimTesting.h"

namespace {

using simtest::field;

TEST(Manifest, SeedsBothDrivesInOrder) {
  sim::Unit unit;
  std::string error;
  ASSERT_TRUE(
      unit.seedManifest("# a comment\r\n"
                        "\n"
                        "[removable]   # inline comments too\r\n"
                        "capacity 409600\r\n"
                        "VID00012.MPG 1764000\r\n"
                        "TEST 0\n"
                        "[internal]\n"
                        "  unformatted\n"
                        "SND00003.WAV\t2646000\n",
                        &error))
      << error;
  const auto& removable = unit.drive(Removable);
  EXPECT_EQ(removable.sectors, 409600u);
  EXPECT_TRUE(removable.present);
  EXPECT_TRUE(removable.formatted);
  EXPECT_EQ(removable.find(field("VID00012.MPG")), 0);
  EXPECT_EQ(removable.fileSize(0), 1764000u);
  EXPECT_EQ(simtest::recordName(removable, 1), "TEST       ");
  EXPECT_EQ(removable.directory[2 * sim::kRecordBytes], 0) << "the table ends after the files";
  const auto& internal = unit.drive(Internal);
  EXPECT_FALSE(internal.formatted);
  EXPECT_EQ(internal.sectors, 65536u) << "the default capacity";
  EXPECT_EQ(internal.find(field("SND00003.WAV")), 0);
}

TEST(Manifest, AHeadingResetsOnlyItsDrive) {
  sim::Unit unit;
  ASSERT_TRUE(unit.seedManifest("[internal]\nA.B 1\n[removable]\nC.D 2\nabsent\n"));
  ASSERT_TRUE(unit.seedManifest("[removable]\nE.F 3\n"));
  EXPECT_EQ(unit.drive(Internal).find(field("A.B")), 0);
  EXPECT_EQ(unit.drive(Removable).find(field("C.D")), -1);
  EXPECT_EQ(unit.drive(Removable).find(field("E.F")), 0);
  EXPECT_TRUE(unit.drive(Removable).present);
}

TEST(Manifest, BadLinesAreNamedAndChangeNothing) {
  std::string tooMany = "[internal]\n";
  for (int i = 0; i < 512; ++i) tooMany.append("F").append(std::to_string(i)).append(".DAT 1\n");
  const struct {
    std::string text;
    std::string error;
  } cases[] = {
      {"VID00001.MPG 5", "line 1: \"VID00001.MPG\" stands before [internal] or [removable]"},
      {"[internal]\n[other]", "line 2: expected [internal] or [removable]"},
      {"[internal] now", "line 1: expected [internal] or [removable]"},
      {"[internal]\n#\n[internal]", "line 3: [internal] appears twice"},
      {"[internal]\nVID00001.MPG",
       "line 2: expected \"NAME.EXT size\", \"capacity <sectors>\", \"absent\" or \"unformatted\""},
      {"[internal]\nVID00001.MPG 5 6",
       "line 2: expected \"NAME.EXT size\", \"capacity <sectors>\", \"absent\" or \"unformatted\""},
      {"[internal]\nVID000001.MPG 5", "line 2: \"VID000001.MPG\" is not an 8.3 name"},
      {"[internal]\nVID00001.MPEG 5", "line 2: \"VID00001.MPEG\" is not an 8.3 name"},
      {"[internal]\n.MPG 5", "line 2: \".MPG\" is not an 8.3 name"},
      {"[internal]\nA.B -5", "line 2: size \"-5\" is not a number of bytes below 4 GiB"},
      {"[internal]\nA.B 4294967296", "line 2: size \"4294967296\" is not a number of bytes below 4 GiB"},
      {"[internal]\nA.B 12kB", "line 2: size \"12kB\" is not a number of bytes below 4 GiB"},
      {"[internal]\nA.B 1\n\nA.B 2", "line 4: \"A.B\" is listed twice"},
      {"[internal]\ncapacity 0", "line 2: capacity must be 1 to 16777215 sectors"},
      {"[internal]\ncapacity 16777216", "line 2: capacity must be 1 to 16777215 sectors"},
      {tooMany, "line 513: more than 511 files"},
  };
  for (const auto& c : cases) {
    sim::Unit unit;
    ASSERT_TRUE(unit.seedManifest("[internal]\nKEEP.ME 1\n"));
    std::string error;
    EXPECT_FALSE(unit.seedManifest(c.text, &error)) << c.text;
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(unit.drive(Internal).find(field("KEEP.ME")), 0) << c.error;
  }
}

TEST(Manifest, TheDemoManifestSeedsADozenClipsOnBothDrives) {
  const auto path = std::filesystem::path(__FILE__).parent_path() / "../../sim/demo.manifest";
  std::ifstream file(path);
  ASSERT_TRUE(file) << path;
  std::ostringstream text;
  text << file.rdbuf();
  sim::Unit unit;
  std::string error;
  ASSERT_TRUE(unit.seedManifest(text.str(), &error)) << error;
  int videos = 0;
  for (DriveKind kind : {Internal, Removable}) {
    const auto& drive = unit.drive(kind);
    EXPECT_GT(drive.sectors, 200000u);
    EXPECT_LT(drive.usedBytes(), std::uint64_t{drive.sectors} * 512);
    for (int i = 0; drive.directory[i * sim::kRecordBytes] != 0; ++i) {
      if (simtest::recordName(drive, i).rfind("VID", 0) == 0) ++videos;
    }
  }
  EXPECT_GE(videos, 12);
  EXPECT_GE(unit.drive(Internal).find(field("README.TXT")), 0);
  EXPECT_GE(unit.drive(Internal).find(field("COMMAND1.BAT")), 0);
}

}  // namespace
