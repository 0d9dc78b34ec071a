// The serial link on the Win32 port layer, against the simulated unit behind COM1: opening,
// the bytes on the line in both directions, the per-byte limit and the drain, in real time.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "Com1.h"
#include "link/SerialLink.h"

namespace {

using win32_test::Clock;
using win32_test::Com1Test;
using win32_test::millisecondsSince;

using Win32PortTest = Com1Test;

const std::string kUnsupported = "Opening serial port: Only Com1 - Com4 are supported";
const std::string kInvalidHandle = "Opening serial port: Invalid handle retrieved opening port";
const std::string kNoCommStatus = "Opening serial port:  Could not get comm status";

std::string readReply(std::size_t count, int timeoutMs) {
  std::string reply(count, '\0');
  if (serialLink.readBytes(reinterpret_cast<std::uint8_t*>(reply.data()), count, timeoutMs) == 0) return "<missing>";
  return reply;
}

TEST_F(Win32PortTest, OnlyCom1ToCom4AreOffered) {
  for (const int index : {4, -1, 255}) {
    EXPECT_EQ(serialLink.open(index, 9600, 0), kUnsupported) << "index " << index;
    EXPECT_FALSE(serialLink.isOpen());
  }
}

// Wine hands out a handle for a COM port whatever is behind it; the failure then shows at the
// first question to the device. Windows itself refuses the handle.
TEST_F(Win32PortTest, PortWithNoDeviceBehindItFailsToOpen) {
  const std::string message = serialLink.open(1, 9600, 0);
  EXPECT_TRUE(message == kInvalidHandle || message == kNoCommStatus) << message;
  EXPECT_FALSE(serialLink.isOpen());
  EXPECT_NE(serialLink.lastError, 0u);
  EXPECT_FALSE(serialLink.lastErrorText.empty());
}

TEST_F(Win32PortTest, Com1OpensAt9600Baud8N1AndClosesForAnotherOpen) {
  ASSERT_EQ(serialLink.open(0, 9600, 0), "");
  EXPECT_EQ(serialLink.portIndex, 0);
  EXPECT_EQ(serialLink.portSettings.baudRate, 9600u);
  EXPECT_EQ(serialLink.portSettings.byteSize, 8);
  EXPECT_EQ(serialLink.portSettings.stopBits, ONESTOPBIT);
  EXPECT_EQ(serialLink.portSettings.parity, NOPARITY);
  serialLink.close();
  EXPECT_EQ(serialLink.lastResult, 1);
  EXPECT_FALSE(serialLink.isOpen());
  EXPECT_EQ(serialLink.open(0, 9600, 0), "");
}

TEST_F(Win32PortTest, LinesReachTheUnitAndRepliesComeBackByteForByte) {
  ASSERT_EQ(serialLink.open(0, 9600, 0), "");
  struct Exchange {
    std::string line;
    std::string reply;
  };
  const Exchange exchanges[] = {
      {"0SL", "R\r"},  {"?V", std::string("DVX 2.13a ", 10)},
      {"1SL", "R\r"},  {"?R", std::string("\x00\x06\x40\x00", 4)},  // 409600 sectors, as com1.manifest sets
      {"XY", "E04\r"},
  };
  for (const Exchange& exchange : exchanges) {
    EXPECT_EQ(serialLink.sendLine(exchange.line + "\r"), 1) << exchange.line;
    EXPECT_EQ(readReply(exchange.reply.size(), 5000), exchange.reply) << exchange.line;
  }
  EXPECT_EQ(log.take(5), (std::vector<std::string>{"0SL", "?V", "1SL", "?R", "XY"}));
}

TEST_F(Win32PortTest, SilentUnitIsWaitedForTheWholeLimit) {
  ASSERT_EQ(serialLink.open(0, 9600, 0), "");
  ASSERT_EQ(serialLink.sendLine("\r"), 1);  // an empty line: the unit answers nothing
  std::uint8_t byte = 0xAA;
  const auto start = Clock::now();

  EXPECT_EQ(serialLink.readBytes(&byte, 1, 2000), 0);
  const auto waited = millisecondsSince(start);
  EXPECT_GE(waited, 2000);
  EXPECT_LT(waited, 4000);
  EXPECT_EQ(byte, 0xAA);
  EXPECT_EQ(log.take(1), std::vector<std::string>{""});
}

TEST_F(Win32PortTest, StaleRepliesAreDrainedBeforeTheNextLine) {
  ASSERT_EQ(serialLink.open(0, 9600, 0), "");
  ASSERT_EQ(serialLink.sendLine("?V\r"), 1);  // ten bytes nobody reads
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_EQ(serialLink.sendLine("0SL\r"), 1);
  EXPECT_EQ(readReply(2, 5000), "R\r");

  ASSERT_EQ(serialLink.sendLine("?V\r"), 1);
  const auto start = Clock::now();
  serialLink.drain();
  EXPECT_GE(millisecondsSince(start), SerialLink::kDrainQuietMs);
  EXPECT_EQ(readReply(1, 300), "<missing>");
  EXPECT_EQ(log.take(3), (std::vector<std::string>{"?V", "0SL", "?V"}));
}

}  // namespace
