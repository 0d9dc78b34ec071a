// The simulator behind a real pseudo-terminal, driven with plain POSIX calls.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "sim/PtyUnit.h"

namespace {

class PtyUnit : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(pty.slavePath().empty());
    fd = open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd, 0);
  }
  void TearDown() override {
    if (fd >= 0) close(fd);
  }

  // Reads what arrives until limitMs pass without a byte; the last read's result in *end.
  std::string readUntilQuiet(int limitMs, ssize_t* end = nullptr) {
    std::string bytes;
    for (;;) {
      pollfd watch{fd, POLLIN, 0};
      if (poll(&watch, 1, limitMs) <= 0) return bytes;
      char byte;
      const ssize_t got = read(fd, &byte, 1);
      if (end) *end = got;
      if (got != 1) return bytes;
      bytes.push_back(byte);
    }
  }

  sim::Unit unit;
  sim::PtyUnit pty{unit};
  int fd = -1;
};

TEST_F(PtyUnit, AnswersALineOnTheSlaveRawAndLogsIt) {
  // The slave is raw although this test never set it up: CR arrives as CR, nothing echoes.
  ASSERT_EQ(write(fd, "0SL\r", 4), 4);
  EXPECT_EQ(readUntilQuiet(500), "R\r");
  EXPECT_EQ(unit.receivedLines(), std::vector<std::string>{"0SL"});
}

TEST_F(PtyUnit, ClosingTheLineFailsTheProgramsRead) {
  pty.closeLine();
  ssize_t end = 1;
  EXPECT_EQ(readUntilQuiet(2000, &end), "");
  EXPECT_LE(end, 0) << "read() returns 0 or fails with EIO";
}

TEST_F(PtyUnit, ACloseLineFaultEndsTheReplyMidway) {
  unit.addFault({"?V", sim::Fault::CloseLine, sim::Reply::First, "", 3});
  ASSERT_EQ(write(fd, "?V\r", 3), 3);
  ssize_t end = 1;
  EXPECT_EQ(readUntilQuiet(2000, &end), "DVX");
  EXPECT_LE(end, 0);
}

TEST_F(PtyUnit, PacedRepliesTakeTheLineTime) {
  unit.setBytePeriodUs(sim::kBytePeriod9600Us);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(write(fd, "?V\r", 3), 3);
  EXPECT_EQ(readUntilQuiet(500).size(), 10u);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::microseconds(10 * 1042));
}

TEST_F(PtyUnit, CreatesAndRemovesTheComLink) {
  char pattern[] = "/tmp/dorvik-link-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::filesystem::path folder = pattern;
  std::filesystem::create_symlink("/nonexistent", folder / "COM2");
  std::filesystem::path link;
  {
    sim::Unit other;
    sim::PtyUnit second(other);
    ASSERT_TRUE(second.createLink(folder, 2)) << "an old link is replaced";
    link = folder / "COM2";
    EXPECT_EQ(std::filesystem::read_symlink(link), second.slavePath());
    std::ofstream(folder / "COM3") << "a file";
    EXPECT_FALSE(second.createLink(folder, 3)) << "a file is never replaced";
  }
  EXPECT_FALSE(std::filesystem::is_symlink(link));
  std::filesystem::remove_all(folder);
}

}  // namespace
