// SerialLink through the real POSIX port code on a pseudo-terminal: opening and refusing
// devices, raw transfer, per-byte limits, drains and a device that vanishes. Real time passes;
// bounds on the high side are generous and only catch hangs.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "link/SerialLink.h"
#include "support/PtyPair.h"

namespace {

using namespace std::chrono_literals;

const char kUnsupported[] = "Opening serial port: Only Com1 - Com4 are supported";
const char kInvalidHandle[] = "Opening serial port: Invalid handle retrieved opening port";
const char kNoCommStatus[] = "Opening serial port:  Could not get comm status";

template <typename Action>
long long millisecondsTaken(Action&& action) {
  const auto start = std::chrono::steady_clock::now();
  action();
  const auto taken = std::chrono::steady_clock::now() - start;
  return std::chrono::duration_cast<std::chrono::milliseconds>(taken).count();
}

class PtySerialLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(pty.start(), "");
    ASSERT_EQ(link.open(0, 9600, 0), "");
  }

  PtyPair pty;
  SerialLink link;  // declared after the pair: closed before the pair goes
};

TEST_F(PtySerialLinkTest, OpenRefusesWhatIsNoSerialDeviceInPlainWordsAndLeavesTheLinkClosed) {
  std::ofstream("COM2") << "not a terminal";
  ASSERT_EQ(mkdir("COM3", 0700), 0);
  ASSERT_EQ(symlink("/nonexistent/ttyX", "COM4"), 0);
  struct Row {
    int index;
    const char* message;
    int error;
    const char* plain;
  };
  const auto check = [](const Row& row) {
    SerialLink other;
    EXPECT_EQ(other.open(row.index, 9600, 0), row.message) << row.index;
    EXPECT_FALSE(other.isOpen());
    EXPECT_EQ(other.lastError, static_cast<std::uint32_t>(row.error)) << row.index;
    if (row.error != 0) {
      EXPECT_EQ(other.lastErrorText, std::string(std::strerror(row.error)) + ": " + row.plain);
    }
  };
  for (const Row& row :
       {Row{1, kNoCommStatus, ENOTTY, "not a serial device"},
        Row{2, kInvalidHandle, EISDIR, "a folder, not a serial device"},
        Row{3, kInvalidHandle, ENOENT, "no such device"}, Row{4, kUnsupported, 0, ""}, Row{-1, kUnsupported, 0, ""}}) {
    check(row);
  }
  ASSERT_EQ(unlink("COM4"), 0);
  ASSERT_EQ(symlink("COM4", "COM4"), 0);
  check(Row{3, kInvalidHandle, ELOOP, "a link that leads round in a loop"});
  EXPECT_EQ(SerialLink().portName(3), "COM4 (./COM4)");
  // The file refused above was released: a second attempt fails the same way, not as busy.
  SerialLink again;
  EXPECT_EQ(again.open(1, 9600, 0), kNoCommStatus);
}

TEST_F(PtySerialLinkTest, PortHeldByAnotherLinkIsRefusedUntilItIsClosed) {
  SerialLink other;
  EXPECT_EQ(other.open(0, 9600, 0), kInvalidHandle);  // even as root: the lock refuses
  EXPECT_FALSE(other.isOpen());
  EXPECT_EQ(other.lastError, static_cast<std::uint32_t>(EWOULDBLOCK));
  EXPECT_EQ(link.sendLine("1"), 1);  // the holder is unaffected
  EXPECT_EQ(pty.receive(1, 1000), "1");

  link.close();
  link.close();
  EXPECT_FALSE(link.isOpen());
  EXPECT_LT(millisecondsTaken([&] { EXPECT_EQ(link.sendLine("x"), 0); }), 50);
  EXPECT_EQ(other.open(0, 9600, 0), "");
}

// Exclusive mode belongs to the terminal, not to the descriptor: left set, it would refuse
// every user but root (EBUSY) for as long as anyone else keeps the device open, as the
// simulator does, even after the program has ended.
TEST_F(PtySerialLinkTest, ClosingEndsExclusiveModeForTheNextOpener) {
#ifndef TIOCGEXCL
  GTEST_SKIP() << "this system cannot report exclusive mode";
#else
  const auto exclusive = [&] {
    const int fd = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);  // root is let in
    int state = -1;
    if (fd >= 0 && ::ioctl(fd, TIOCGEXCL, &state) != 0) state = -1;
    if (fd >= 0) ::close(fd);
    return state;
  };
  EXPECT_EQ(exclusive(), 1);
  link.close();
  EXPECT_EQ(exclusive(), 0);
#endif
}

TEST_F(PtySerialLinkTest, CookedTerminalCarriesEveryByteUnchangedOnceOpened) {
  link.close();
  ASSERT_TRUE(pty.makeSlaveCooked());
  ASSERT_EQ(link.open(0, 9600, 0), "");
  const std::string bytes("0SL\r\n\x03\x7f\x00\xff", 9);
  EXPECT_EQ(link.sendLine(bytes), 1);
  EXPECT_EQ(pty.receive(bytes.size() + 1, 300), bytes);

  ASSERT_TRUE(pty.send(bytes));
  std::string got(bytes.size(), '.');
  EXPECT_EQ(link.readBytes(reinterpret_cast<std::uint8_t*>(got.data()), got.size(), 300), 1);
  EXPECT_EQ(got, bytes);
  EXPECT_EQ(pty.receive(1, 50), "");  // nothing echoed
}

TEST_F(PtySerialLinkTest, AddressedFrameGoesOutWithItsChecksum) {
  ASSERT_EQ(link.open(0, 9600, 1), "");
  EXPECT_EQ(link.sendLine("0SL\r"), 1);
  EXPECT_EQ(pty.receive(8, 300), std::string("\0\0"
                                             "0SL\r"
                                             "\x6E",
                                             7));
}

TEST_F(PtySerialLinkTest, ReadBytesGivesUpAfterTheLimitOfTheFirstMissingByte) {
  ASSERT_TRUE(pty.send("Z"));
  std::string buffer = "....";
  const auto taken =
      millisecondsTaken([&] { EXPECT_EQ(link.readBytes(reinterpret_cast<std::uint8_t*>(buffer.data()), 4, 150), 0); });
  EXPECT_GE(taken, 150);
  EXPECT_LT(taken, 2000);
  EXPECT_EQ(buffer, "Z...");
}

TEST_F(PtySerialLinkTest, DrainReadsWhileBytesKeepComingAndStopsWhenTheLineIsQuiet) {
  std::thread chatter([&] {
    for (int i = 0; i < 8; ++i) {
      pty.send("n");
      std::this_thread::sleep_for(25ms);
    }
  });
  const auto taken = millisecondsTaken([&] { link.drain(); });
  chatter.join();
  EXPECT_GE(taken, 7 * 25 + 100);
  std::uint8_t byte = 0;
  EXPECT_EQ(link.readBytes(&byte, 1, 50), 0);  // every byte was swallowed

  EXPECT_GE(millisecondsTaken([&] { link.drain(); }), 100);
}

TEST_F(PtySerialLinkTest, VanishedDeviceEndsEvenAnUnlimitedWaitAtOnce) {
  std::thread unplug([&] {
    std::this_thread::sleep_for(100ms);
    pty.closeMaster();
  });
  const auto taken = millisecondsTaken([&] { EXPECT_EQ(link.readByte(0), kReadFailed); });
  unplug.join();
  EXPECT_LT(taken, 2000);
  std::uint8_t byte = 0;
  EXPECT_LT(millisecondsTaken([&] { EXPECT_EQ(link.readBytes(&byte, 1, 5000), 0); }), 2000);
  EXPECT_LT(millisecondsTaken([&] { link.drain(); }), 2000);
  EXPECT_EQ(link.lastResult, 0);
}

TEST_F(PtySerialLinkTest, UnpluggedDeviceIsOpenedAgainByTheNextLineOnceItIsBack) {
  pty.closeMaster();
  std::uint8_t byte = 0;
  EXPECT_LT(millisecondsTaken([&] { EXPECT_EQ(link.readBytes(&byte, 1, 5000), 0); }), 2000);
  EXPECT_TRUE(link.isLost());
  std::string failure;
  link.onReopenFailure = [&](const std::string& message) { failure = message; };
  EXPECT_LT(millisecondsTaken([&] { EXPECT_EQ(link.sendLine("x"), 0); }), 2000);
  EXPECT_EQ(failure, kInvalidHandle);  // the hung-up terminal refuses a new open
  EXPECT_TRUE(link.isLost());

  // Plugged in again: the link in the (now current) folder leads to a new terminal.
  PtyPair replugged;
  ASSERT_EQ(replugged.start(), "");
  EXPECT_EQ(link.sendLine("x"), 1);
  EXPECT_FALSE(link.isLost());
  EXPECT_EQ(replugged.receive(1, 1000), "x");
  ASSERT_TRUE(replugged.send("R"));
  EXPECT_EQ(link.readByte(1000), 'R');
  SerialLink other;
  EXPECT_EQ(other.open(0, 9600, 0), kInvalidHandle);  // held exclusively again
  link.close();                                       // before the pair goes
}

TEST_F(PtySerialLinkTest, WritesWaitForRoomWhenTheDeviceIsFull) {
  constexpr std::size_t kBytes = 200000;  // far beyond what a pseudo-terminal buffers
  std::string received;
  std::thread reader([&] {
    std::this_thread::sleep_for(200ms);
    received = pty.receive(kBytes, 2000);
  });
  std::size_t failed = 0;
  for (std::size_t i = 0; i < kBytes; ++i) {
    if (link.writeByte(static_cast<std::uint8_t>(i), SPACEPARITY) == 0) ++failed;
  }
  reader.join();
  EXPECT_EQ(failed, 0u);
  ASSERT_EQ(received.size(), kBytes);
  EXPECT_EQ(static_cast<std::uint8_t>(received.back()), static_cast<std::uint8_t>(kBytes - 1));
}

}  // namespace
