// The wire trace as the link writes it: bursts, times on the in-memory port's virtual clock,
// escapes, flushing, and the waits it must leave unchanged.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "link/SerialLink.h"
#include "sim/MemoryPort.h"
#include "support/WorkingFolder.h"

namespace {

std::string fileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

class WireTraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto out = std::make_unique<std::ostringstream>();
    text = out.get();
    link.setTrace(std::make_unique<WireTrace>(std::move(out), "test", [this] { return clock.nowUs(); }));
  }

  sim::Unit unit;
  sim::VirtualClock clock;
  SerialLink link{std::make_unique<sim::MemoryPort>(unit, clock)};
  std::ostringstream* text = nullptr;
};

TEST_F(WireTraceTest, OneEntryPerBurstTimedByItsFirstByteWithTheWaitsUnchanged) {
  clock.advanceUs(7'000'000);  // the trace counts from the open, not from the clock's zero
  ASSERT_EQ(link.open(0, 9600, 0), "");
  unit.addFault({.command = "?V", .fault = sim::Fault::Delay, .count = 300});
  unit.setRevision(std::string("A\\\x01\r\n", 5));
  std::uint8_t reply[10];
  ASSERT_EQ(link.sendLine("?V\r"), 1);                // its drain waits 100 ms first
  EXPECT_EQ(link.readBytes(reply, 10, 7000), 1);      // the unit answers 300 ms later
  EXPECT_EQ(link.readBytes(reply, 1, 2000), 0);       // nothing more: a whole time-out
  EXPECT_EQ(clock.nowMs(), 7000 + 100 + 300 + 2000);  // the trace's first look is part of each wait
  link.sendLine("0SL\r");
  EXPECT_EQ(link.readBytes(reply, 2, 5000), 1);
  link.close();
  EXPECT_EQ(text->str(),
            "dorvik-trace 1\n"
            "# test: ms since the port opened; > to the unit, < from it; hex | text\n"
            "0 opened COM1 COM1\n"
            "100 > 3F 56 0D | ?V\\r\n"
            "400 < 41 5C 01 0D 0A 20 20 20 20 20 | A\\\\\\x01\\r\\n     \n"
            "2500 > 30 53 4C 0D | 0SL\\r\n"
            "2500 < 52 0D | R\\r\n"  // a burst still pending is written before the close
            "2500 closed\n");
}

TEST(WireTraceText, EveryByteOutsidePrintableAsciiIsEscaped) {
  EXPECT_EQ(traceText(std::string("A z~\r\n\0\\\x7F\xE5\x1B", 11)), "A z~\\r\\n\\0\\\\\\x7F\\xE5\\x1B");
  EXPECT_EQ(traceHex(std::string("\x00\x0D\xFF", 3)), "00 0D FF");
}

TEST(WireTraceFile, EachBurstIsOnDiskAsItEndsAndABadPathIsRefused) {
  WorkingFolder folder;
  std::string problem;
  auto trace = WireTrace::create("run.trace", "test", problem);
  ASSERT_TRUE(trace) << problem;
  trace->opened("COM2", "/dev/ttyUSB0");
  trace->sent('0');
  EXPECT_EQ(fileText("run.trace").find("0 > "), std::string::npos) << "a burst is written whole, not per byte";
  trace->endBurst();
  EXPECT_NE(fileText("run.trace").find("0 > 30 | 0\n"), std::string::npos) << "written before the program waits";

  std::filesystem::create_directory("folder");
  for (const char* path : {"folder", "missing/run.trace"}) {
    problem.clear();
    EXPECT_FALSE(WireTrace::create(path, "test", problem)) << path;
    EXPECT_EQ(problem.rfind(std::string(path) + ": ", 0), 0u) << problem;
  }
}

}  // namespace
