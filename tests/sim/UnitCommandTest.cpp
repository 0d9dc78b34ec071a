// Every command line and the exact bytes the unit answers, from a known seeding.
#include <gtest/gtest.h>

#include <vector>

#include "SimTesting.h"

namespace {

using simtest::exchange;
using simtest::visible;

const char* const kSeed = R"(
[internal]
capacity 100000
VID00001.MPG 352800
SND00002.WAV 1000
PLY00003.LST 10
COMMAND1.BAT 5
README.TXT 7
VID00009.AVI 100
[removable]
VID00012.MPG 1764000
)";

const std::string R = "R\r";

struct Case {
  const char* title;
  std::string extraSeed;            // a second manifest: replaces the drives it names
  std::vector<std::string> before;  // lines sent first, replies ignored
  std::string line;
  std::string reply;  // both replies for copy, delete and format
};

const std::vector<Case> kCases = {
    {"select internal", "", {}, "0SL", R},
    {"select removable", "", {}, "1SL", R},
    {"select an unknown drive", "", {}, "2SL", "E04\r"},
    {"select an absent drive", "[removable]\nabsent\n", {}, "1SL", "E11\r"},
    {"select an unformatted drive", "[removable]\nunformatted\n", {}, "1SL", R},
    {"capacity is big-endian sectors after a zero byte", "", {}, "?R", std::string("\0\x01\x86\xA0", 4)},
    {"capacity of a huge drive saturates at three bytes",
     "[removable]\ncapacity 16777215\n",
     {"1SL"},
     "?R",
     std::string("\0\xFF\xFF\xFF", 4)},
    {"revision", "", {}, "?V", "DVX 2.13a "},
    {"cue a video clip", "", {}, "001SE", R},
    {"cue a sound", "", {}, "002SE", R},
    {"cue a play list", "", {}, "003SE", R},
    {"cue a clip of no playable extension", "", {}, "009SE", "E12\r"},
    {"cue a clip of the other drive", "", {}, "012SE", "E12\r"},
    {"cue after selecting its drive", "", {"1SL"}, "012SE", R},
    {"cue on an unformatted drive", "[removable]\nunformatted\nVID00012.MPG 5\n", {"1SL"}, "012SE", "E20\r"},
    {"play with nothing cued", "", {}, "PL", "E12\r"},
    {"play the cued clip", "", {"001SE"}, "PL", R},
    {"loop the cued clip", "", {"001SE"}, "LP", R},
    {"selection stops and forgets the cue", "", {"001SE", "PL", "0SL"}, "PL", "E12\r"},
    {"play a clip deleted since its cue", "", {"001SE", "VID00001MPGDL"}, "PL", "E12\r"},
    {"still needs no clip", "", {}, "ST", R},
    {"copy to internal", "", {}, "VID00012MPGCI", R + R},
    {"copy to removable", "", {}, "VID00001MPGCR", R + R},
    {"copy of a missing clip", "", {}, "VID00099MPGCI", "E12\r"},
    {"copy from an absent drive", "[removable]\nabsent\n", {}, "VID00001MPGCR", "E11\r"},
    {"copy into an unformatted drive", "[removable]\nunformatted\n", {}, "VID00001MPGCR", "E20\r"},
    {"copy into a drive without room", "[removable]\ncapacity 600\n", {}, "VID00001MPGCR", R + "E04\r"},
    {"delete", "", {}, "VID00001MPGDL", R + R},
    {"delete a missing clip", "", {}, "VID00099MPGDL", "E12\r"},
    {"delete on an unformatted drive", "[removable]\nunformatted\nVID00012.MPG 5\n", {"1SL"}, "VID00012MPGDL", "E20\r"},
    {"format", "", {}, "FO", R + R},
    {"format an unformatted drive", "[removable]\nunformatted\n", {"1SL"}, "FO", R + R},
    {"rename", "", {}, "VID00001MPGVID00002MPGRN", R},
    {"rename to the same name", "", {}, "VID00001MPGVID00001MPGRN", R},
    {"rename a missing clip", "", {}, "VID00099MPGVID00002MPGRN", "E12\r"},
    {"rename onto a taken name", "", {}, "VID00001MPGSND00002WAVRN", "E04\r"},
    {"rename on an unformatted drive",
     "[removable]\nunformatted\nVID00012.MPG 5\n",
     {"1SL"},
     "VID00012MPGVID00013MPGRN",
     "E20\r"},
    {"name fields match byte for byte", "", {}, "vid00001mpgDL", "E12\r"},
    {"unknown mnemonic", "", {}, "XY", "E04\r"},
    {"lower-case command", "", {}, "0sl", "E04\r"},
    {"cue without digits", "", {}, "SE", "E04\r"},
    {"cue with four digits", "", {}, "0001SE", "E04\r"},
    {"name field one byte short", "", {}, "VID00001MPCI", "E04\r"},
    {"over-long line", "", {}, std::string(200, 'A') + "SL", "E04\r"},
    {"line feeds are ignored", "", {}, "0S\nL\n", R},
    {"an empty line is ignored", "", {}, "", ""},
};

TEST(UnitCommand, AnswersEachLineAsTheUnitDoes) {
  for (const Case& c : kCases) {
    sim::Unit unit;
    std::string error;
    ASSERT_TRUE(unit.seedManifest(kSeed, &error)) << error;
    ASSERT_TRUE(unit.seedManifest(c.extraSeed, &error)) << c.title << ": " << error;
    for (const auto& line : c.before) exchange(unit, line);
    EXPECT_EQ(visible(exchange(unit, c.line)), visible(c.reply)) << c.title;
  }
}

TEST(UnitCommand, QueriesOnAnEjectedOrUnformattedDriveServeNothing) {
  sim::Unit unit;
  ASSERT_TRUE(unit.seedManifest(kSeed));
  ASSERT_TRUE(unit.seedManifest("[removable]\nunformatted\nVID00012.MPG 5\n"));
  exchange(unit, "1SL");
  EXPECT_EQ(exchange(unit, "?D"), std::string(sim::kDirectoryBytes, '\0'));
  exchange(unit, "0SL");
  unit.drive(Internal).present = false;
  EXPECT_EQ(exchange(unit, "?R"), std::string(4, '\0'));
  EXPECT_EQ(exchange(unit, "?D"), std::string(sim::kDirectoryBytes, '\0'));
  EXPECT_EQ(exchange(unit, "001SE"), "E11\r");
  EXPECT_EQ(exchange(unit, "VID00001MPGDL"), "E11\r");
  EXPECT_EQ(exchange(unit, "FO"), "E11\r");
}

TEST(UnitCommand, DirectoryReplyIsTheWholeTable) {
  sim::Unit unit;
  ASSERT_TRUE(unit.seedManifest(kSeed));
  const auto& table = unit.drive(Internal).directory;
  EXPECT_EQ(exchange(unit, "?D"), std::string(table.begin(), table.end()));
}

TEST(UnitCommand, RevisionIsTenBytesBlankPadded) {
  sim::Unit unit;
  unit.setRevision("X1");
  EXPECT_EQ(exchange(unit, "?V"), "X1        ");
  unit.setRevision("0123456789ABC");
  EXPECT_EQ(exchange(unit, "?V"), "0123456789");
}

TEST(UnitCommand, PlayStateFollowsTheCommands) {
  sim::Unit unit;
  ASSERT_TRUE(unit.seedManifest(kSeed));
  exchange(unit, "1SL");
  exchange(unit, "012SE");
  EXPECT_EQ(unit.playState().selectedDrive, Removable);
  EXPECT_EQ(unit.playState().cuedClip, 12);
  EXPECT_FALSE(unit.playState().playing);
  exchange(unit, "LP");
  EXPECT_TRUE(unit.playState().playing);
  EXPECT_TRUE(unit.playState().looping);
  exchange(unit, "ST");
  EXPECT_TRUE(unit.playState().still);
  EXPECT_FALSE(unit.playState().playing);
  exchange(unit, "PL");
  EXPECT_TRUE(unit.playState().playing);
  EXPECT_FALSE(unit.playState().looping);
  unit.drive(Internal).present = false;
  exchange(unit, "0SL");  // refused: the Removable Drive stays selected and keeps playing
  EXPECT_EQ(unit.playState().selectedDrive, Removable);
  EXPECT_TRUE(unit.playState().playing);
  exchange(unit, "1SL");  // Stop
  EXPECT_FALSE(unit.playState().playing);
  EXPECT_EQ(unit.playState().cuedClip, -1);
}

TEST(UnitCommand, LogsEveryLineWithoutItsTerminator) {
  sim::Unit unit;
  std::vector<std::string> observed;
  unit.setLineObserver([&](const std::string& line) { observed.push_back(line); });
  simtest::sendLine(unit, "0SL");
  simtest::sendLine(unit, "\n?R");
  simtest::sendLine(unit, "");
  const std::vector<std::string> expected = {"0SL", "?R", ""};
  EXPECT_EQ(unit.receivedLines(), expected);
  EXPECT_EQ(observed, expected);
  unit.clearReceivedLines();
  EXPECT_TRUE(unit.receivedLines().empty());
}

TEST(UnitCommand, LogsWhenEachLineArrivedAndWhichDriveWasSelected) {
  sim::Unit unit;
  unit.drive(Removable).addFile("VID00012.MPG", 1000);
  simtest::sendLine(unit, "1SL", 1000);
  simtest::sendLine(unit, "VID00012MPGDL", 2000);
  simtest::sendLine(unit, "0SL", 3000);
  simtest::sendLine(unit, "VID00012MPGDL", 4000);
  const auto log = unit.receivedLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].selectedDrive, Internal) << "a selection is logged with the drive selected before it";
  EXPECT_EQ(log[1].text, "VID00012MPGDL");
  EXPECT_EQ(log[1].atUs, 2000);
  EXPECT_EQ(log[1].selectedDrive, Removable);
  EXPECT_EQ(log[1].completedUs, 2000 + sim::kDefaultCompletionDelayMs * 1000) << "the delete's second reply";
  EXPECT_EQ(log[2].selectedDrive, Removable);
  EXPECT_EQ(log[2].completedUs, -1) << "a selection has no second reply";
  EXPECT_EQ(log[3].completedUs, -1) << "a refused delete sends none";
}

}  // namespace
