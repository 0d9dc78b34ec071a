// The in-memory port: exact virtual waits, the device's states and its failures.
#include <gtest/gtest.h>

#include "PortTesting.h"

namespace {

using simtest::kMs;

class MemoryPort : public ::testing::Test {
 protected:
  simtest::Rig rig;
  sim::Unit& unit = rig.unit;
  sim::VirtualClock& clock = rig.clock;
  sim::MemoryPort& port = rig.port;
};

TEST_F(MemoryPort, AReplyWaitingIsReadWithoutTime) {
  rig.send("0SL");
  EXPECT_EQ(port.readByte(5000), 'R');
  EXPECT_EQ(port.readByte(5000), '\r');
  EXPECT_EQ(clock.nowUs(), 0);
}

TEST_F(MemoryPort, ASilentReadCostsExactlyItsLimit) {
  for (int limitMs : {100, 2000, 5000, 6000, 7000}) {
    const std::int64_t before = clock.nowUs();
    EXPECT_EQ(port.readByte(limitMs), kReadTimedOut);
    EXPECT_EQ(clock.nowUs() - before, limitMs * kMs);
  }
}

TEST_F(MemoryPort, ALimitOfZeroWaitsUpToTheCap) {
  EXPECT_EQ(port.readByte(0), kReadTimedOut);
  EXPECT_EQ(clock.nowUs(), std::int64_t{kUnlimitedWaitCapMs} * kMs);
}

TEST_F(MemoryPort, APacedDirectoryArrivesAtTheLineRate) {
  unit.setBytePeriodUs(sim::kBytePeriod9600Us);
  rig.send("?D");
  const auto got = rig.collect(6000);
  ASSERT_EQ(got.bytes.size(), sim::kDirectoryBytes);
  EXPECT_EQ(got.atUs.front(), 1042);
  EXPECT_EQ(got.atUs.back(), std::int64_t{16352} * 1042);
  EXPECT_EQ(got.endUs, std::int64_t{16352} * 1042 + 6000 * kMs);
  const auto& table = unit.drive(Internal).directory;
  EXPECT_EQ(got.bytes, std::string(table.begin(), table.end()));
}

TEST_F(MemoryPort, AReplyLaterThanTheLimitIsATimeOut) {
  unit.setBytePeriodUs(sim::kBytePeriod9600Us);
  rig.send("?R");
  EXPECT_EQ(port.readByte(1), kReadTimedOut);  // the first byte needs 1.042 ms
  EXPECT_EQ(clock.nowUs(), 1000);
  EXPECT_EQ(port.readByte(1), 0);
  EXPECT_EQ(clock.nowUs(), 1042);
}

TEST_F(MemoryPort, TheSecondReplyComesAfterTheCompletionDelay) {
  unit.setCompletionDelayMs(2500);
  rig.send("VID00001MPGDL");
  EXPECT_EQ(rig.collect(100).bytes, "R\r");
  EXPECT_EQ(clock.nowUs(), 100 * kMs) << "the drain after the first reply finds nothing";
  const auto second = rig.collect(0);
  EXPECT_EQ(second.bytes, "R\r");
  EXPECT_EQ(second.atUs.front(), 2500 * kMs);
}

TEST_F(MemoryPort, OpenFailsForAbsentBusyAndOpenPorts) {
  port.closeDevice();
  port.setPresent(1, false);
  port.setBusy(2, true);
  struct Case {
    int index;
    bool opens;
    std::uint32_t error;
  };
  for (const Case& c :
       {Case{1, false, 2}, Case{2, false, 5}, Case{4, false, 2}, Case{-1, false, 2}, Case{3, true, 0}}) {
    EXPECT_EQ(port.openDevice(c.index), c.opens) << "index " << c.index;
    if (!c.opens) {
      EXPECT_EQ(port.lastError(), c.error) << "index " << c.index;
    }
  }
  EXPECT_EQ(port.openIndex(), 3);
  EXPECT_FALSE(port.openDevice(0)) << "already open";
  EXPECT_EQ(port.lastErrorText(), "device in use");
}

TEST_F(MemoryPort, StateReadsBackWhatWasSetAndFailsOnceOnRequest) {
  LineSettings settings;
  ASSERT_TRUE(port.getState(settings));
  EXPECT_EQ(settings.baudRate, 1200u) << "a fresh device is not yet set up";
  settings = {9600, 8, ONESTOPBIT, NOPARITY};
  port.failNextSetState();
  EXPECT_FALSE(port.setState(settings));
  EXPECT_EQ(port.lastError(), 31u);
  EXPECT_TRUE(port.setState(settings));
  port.failNextGetState();
  LineSettings read{};
  EXPECT_FALSE(port.getState(read));
  ASSERT_TRUE(port.getState(read));
  EXPECT_EQ(read.baudRate, 9600u);
  EXPECT_EQ(read.byteSize, 8);
  EXPECT_EQ(read.parity, NOPARITY);
}

TEST_F(MemoryPort, RecordsEachByteWithItsParity) {
  port.setState({9600, 8, ONESTOPBIT, MARKPARITY});
  port.writeByte(0x01);
  port.setState({9600, 8, ONESTOPBIT, SPACEPARITY});
  port.writeByte('A');
  ASSERT_EQ(port.sent().size(), 2u);
  EXPECT_EQ(port.sent()[0].value, 0x01);
  EXPECT_EQ(port.sent()[0].parity, MARKPARITY);
  EXPECT_EQ(port.sent()[1].parity, SPACEPARITY);
}

TEST_F(MemoryPort, AClosedPortFailsAtOnce) {
  rig.send("0SL");
  EXPECT_TRUE(port.closeDevice());
  EXPECT_EQ(port.readByte(5000), kReadFailed);
  EXPECT_EQ(clock.nowUs(), 0);
  EXPECT_FALSE(port.writeByte('X'));
  EXPECT_EQ(port.lastError(), 6u);
  EXPECT_FALSE(port.closeDevice());
  EXPECT_EQ(unit.receivedLines().size(), 1u) << "nothing reached the unit";
}

TEST_F(MemoryPort, AClosedLineFailsEveryReadUntilPluggedInAgain) {
  unit.addFault({"?D", sim::Fault::CloseLine, sim::Reply::First, "", 100});
  rig.send("?D");
  const auto got = rig.collect(6000);
  EXPECT_EQ(got.bytes.size(), 100u);
  EXPECT_EQ(got.end, kReadFailed);
  EXPECT_EQ(port.readByte(6000), kReadFailed);
  EXPECT_EQ(clock.nowUs(), 0) << "a vanished device never waits";
  EXPECT_FALSE(port.writeByte('0'));
  EXPECT_EQ(port.lastError(), 22u);
  EXPECT_TRUE(port.closeDevice());
  EXPECT_FALSE(port.openDevice(0));
  port.setPresent(0, true);
  ASSERT_TRUE(port.openDevice(0));
  rig.send("0SL");
  EXPECT_EQ(rig.collect(100).bytes, "R\r");
}

}  // namespace
