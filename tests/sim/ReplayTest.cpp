// Reading a trace for a replay: every way a file can fail to be a whole trace gets its own
// words; the recorded gaps are kept or dropped; no byte of a file or the line crashes it.
#include <gtest/gtest.h>

#include <random>

#include "sim/Replay.h"

namespace {

const std::string kTrace =
    "dorvik-trace 1\n# test\n0 opened COM1 /dev/pts/3\n"
    "100 > 30 53 4C 0D | 0SL\\r\n120 < 52 | R\n400 < 0D | \\r\n500 closed\n";

TEST(ReplayTrace, EachDamageIsToldInItsOwnWords) {
  const struct {
    std::string text;
    std::string problem;
  } rows[] = {
      {"", "the file is empty: not a dorvik wire trace"},
      {"PK\x03\x04", "line 1: byte 0x03: a trace is printable text only (binary noise in the file?)"},
      {kTrace.substr(0, 60) + std::string("\xE5\x00", 2) + "\n",
       "line 4: byte 0xE5: a trace is printable text only (binary noise in the file?)"},
      {kTrace.substr(0, kTrace.size() - 5), "line 7: cut short (the trace ends in the middle of a line)"},
      {"0SL\r\n", "line 1: byte 0x0D: a trace is printable text only (binary noise in the file?)"},
      {"capture.log\n", "not a dorvik wire trace: its first line is \"capture.log\""},
      {"dorvik-trace 2\n0 opened COM1 x\n", "a trace of format version 2; this simulator reads version 1"},
      {"dorvik-trace 1\n100 > 30 53 | 0T\n", "line 2: its text does not match its hex bytes (the trace was edited?)"},
      {"dorvik-trace 1\n100 > 3G | 0\n", "line 2: \"3G\" is not a byte in hex"},
      {"dorvik-trace 1\n100 > 30 53\n", "line 2: its bytes are not \"HEX | TEXT\""},
      {"dorvik-trace 1\n100 > 30 | 0\n90 < 52 | R\n", "line 3: its time goes back to 90 ms"},
      {"dorvik-trace 1\n100 paused\n", "line 2: not an entry: \"paused\""},
      {"dorvik-trace 1\nopened COM1\n", "line 2: not an entry (a time in ms first)"},
  };
  for (const auto& row : rows) {
    std::string problem;
    EXPECT_FALSE(sim::Replay::parse(row.text, &problem)) << row.text;
    EXPECT_EQ(problem, row.problem) << row.text;
  }
}

TEST(ReplayTrace, AnAnswerComesAtItsRecordedDistanceFromItsLineOrAtOnceWhenFast) {
  for (const bool fast : {false, true}) {
    std::string problem;
    auto replay = sim::Replay::parse(kTrace, &problem);
    ASSERT_TRUE(replay) << problem;
    replay->setFast(fast);
    for (const char byte : std::string("0SL\r")) replay->receive(static_cast<std::uint8_t>(byte), 5'000'000);
    std::vector<sim::OutputByte> sent;
    for (; replay->peekOutput(); replay->popOutput()) sent.push_back(*replay->peekOutput());
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].value, 'R');
    EXPECT_EQ(sent[0].atUs, fast ? 5'000'000 : 5'020'000);
    EXPECT_EQ(sent[1].atUs, fast ? 5'000'000 : 5'300'000);
    EXPECT_EQ(replay->linesAnswered(), 1u);
  }
}

// A damaged copy of a good trace is read or refused, and a replay fed noise refuses lines;
// neither ever crashes or answers a line it was not given.
TEST(ReplayTrace, NoByteOfAFileOrTheLineCrashesIt) {
  std::mt19937 random(22);
  for (int round = 0; round < 3000; ++round) {
    std::string text = kTrace;
    text[random() % text.size()] = static_cast<char>(random() % 256);
    if (round % 3 == 0) text.resize(random() % text.size());
    std::string problem;
    auto replay = sim::Replay::parse(text, &problem);
    EXPECT_NE(!replay, problem.empty()) << text;
    if (!replay) continue;
    for (int i = 0; i < 64; ++i) replay->receive(static_cast<std::uint8_t>(random() % 256), i);
    EXPECT_LE(replay->linesAnswered(), 1u);
  }
}

}  // namespace
