// SerialLink's algorithms on a recording port: what reaches the device, in which order, with
// which parity, and what the link reports back. No time passes here.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "link/SerialLink.h"

namespace {

const char kUnsupported[] = "Opening serial port: Only Com1 - Com4 are supported";
const char kInvalidHandle[] = "Opening serial port: Invalid handle retrieved opening port";
const char kNoCommStatus[] = "Opening serial port:  Could not get comm status";
const char kCommStatusRefused[] = "Opening serial port:  Could not set comm status";

// What the device saw; it lives outside the port so that it outlives the link.
struct PortLog {
  // "open", "close", "~2" for a pause, "=N"/"=M"/"=S" for line settings, hex for a byte.
  std::string trace;
  std::vector<std::uint8_t> values;
  std::vector<std::uint8_t> parities;  // the parity each byte went out with
  std::vector<int> readLimits;
  std::deque<int> reads;  // scripted read results; silence once used up
  bool open = false;
  int closes = 0;
  bool refuseOpen = false, refuseGetState = false, refuseSetState = false, refuseClose = false;
  bool gone = false;                    // failures mean the device was pulled out
  std::set<std::size_t> failingWrites;  // by index of the byte
  LineSettings device{115200, 7, TWOSTOPBITS, EVENPARITY};

  void note(const std::string& event) { trace += (trace.empty() ? "" : " ") + event; }
};

class RecordingPort : public SerialPort {
 public:
  explicit RecordingPort(PortLog& log) : log_(log) {}
  bool openDevice(int) override {
    if (log_.refuseOpen) return fail(2);
    log_.open = true;
    log_.note("open");
    return true;
  }
  bool getState(LineSettings& settings) override {
    if (log_.refuseGetState) return fail(21);
    settings = log_.device;
    return true;
  }
  bool setState(const LineSettings& settings) override {
    if (log_.refuseSetState) return fail(87);
    log_.device = settings;
    log_.note(std::string("=") + "NOEMS"[settings.parity]);
    return true;
  }
  bool writeByte(std::uint8_t value) override {
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", value);
    log_.note(hex);
    log_.values.push_back(value);
    log_.parities.push_back(log_.device.parity);
    return log_.failingWrites.count(log_.values.size() - 1) != 0 ? fail(1117) : true;
  }
  int readByte(int timeoutMs) override {
    log_.readLimits.push_back(timeoutMs);
    if (log_.reads.empty()) return kReadTimedOut;
    const int result = log_.reads.front();
    log_.reads.pop_front();
    return result;
  }
  bool closeDevice() override {
    log_.open = false;
    ++log_.closes;
    log_.note("close");
    return log_.refuseClose ? fail(6) : true;
  }
  // Appended, not "~" + ...: GCC 12 warns falsely (-Wrestrict) on a literal before a temporary.
  void pause(int milliseconds) override { log_.note(std::string("~").append(std::to_string(milliseconds))); }
  bool deviceGone() const override { return log_.gone; }
  std::uint32_t lastError() const override { return error_; }
  std::string lastErrorText() const override { return "error " + std::to_string(error_); }

 private:
  bool fail(std::uint32_t error) {
    error_ = error;
    return false;
  }
  PortLog& log_;
  std::uint32_t error_ = 0;
};

class SerialLinkTest : public ::testing::Test {
 protected:
  void openAt(int addressed) {
    ASSERT_EQ(link.open(0, 9600, addressed), "");
    log.trace.clear();
    log.readLimits.clear();
  }

  PortLog log;
  SerialLink link{std::make_unique<RecordingPort>(log)};
};

TEST_F(SerialLinkTest, OpenRefusesIndexesOutsideCom1ToCom4WithoutTouchingThePort) {
  for (const int index : {-1, 4, 5, INT_MIN, INT_MAX}) {
    EXPECT_EQ(link.open(index, 9600, 0), kUnsupported) << index;
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.baudRate, 0u);
  }
  EXPECT_EQ(log.trace, "");
}

TEST(SerialLinkOpen, AppliesFixedLineSettingsKeepsTheRestAndStoresItsArguments) {
  struct Row {
    int addressed;
    std::int32_t mode;
    std::uint8_t parity;
    const char* trace;
  };
  for (const Row& row : {Row{0, 0, NOPARITY, "open =N"}, Row{7, 1, SPACEPARITY, "open =S"}}) {
    PortLog log;
    SerialLink link{std::make_unique<RecordingPort>(log)};
    ASSERT_EQ(link.open(2, 9600, row.addressed), "");
    EXPECT_EQ(link.portIndex, 2);
    EXPECT_EQ(link.baudRate, 9600u);
    EXPECT_EQ(link.addressedOption, row.addressed);
    EXPECT_EQ(link.addressedMode, row.mode);
    EXPECT_EQ(link.lastResult, 0);  // open never sets it
    EXPECT_EQ(log.device.baudRate, 9600u);
    EXPECT_EQ(log.device.byteSize, 8);
    EXPECT_EQ(log.device.stopBits, ONESTOPBIT);
    EXPECT_EQ(log.device.parity, row.parity);
    EXPECT_EQ(link.portSettings.parity, row.parity);
    EXPECT_EQ(log.trace, row.trace);
  }
}

TEST(SerialLinkOpen, FailureNamesItsStepKeepsTheOsWordsAndReleasesTheDevice) {
  struct Row {
    bool PortLog::*refuse;
    const char* message;
    std::uint32_t error;
    int closes;
  };
  for (const Row& row :
       {Row{&PortLog::refuseOpen, kInvalidHandle, 2, 0}, Row{&PortLog::refuseGetState, kNoCommStatus, 21, 1},
        Row{&PortLog::refuseSetState, kCommStatusRefused, 87, 1}}) {
    PortLog log;
    log.*row.refuse = true;
    SerialLink link{std::make_unique<RecordingPort>(log)};
    EXPECT_EQ(link.open(0, 9600, 0), row.message);
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(link.portIndex, -1);
    EXPECT_EQ(link.lastError, row.error);
    EXPECT_EQ(link.lastErrorText, "error " + std::to_string(row.error));
    EXPECT_FALSE(log.open) << row.message;
    EXPECT_EQ(log.closes, row.closes) << row.message;
  }
}

TEST_F(SerialLinkTest, ReopeningAnOpenLinkClosesTheDeviceFirst) {
  openAt(0);
  ASSERT_EQ(link.open(1, 9600, 0), "");
  EXPECT_EQ(log.trace, "close open =N");
  EXPECT_EQ(link.portIndex, 1);
}

TEST_F(SerialLinkTest, CloseReleasesTheDeviceOnceAndASecondCloseDoesNothing) {
  openAt(0);
  link.close();
  link.close();
  EXPECT_FALSE(link.isOpen());
  EXPECT_EQ(log.closes, 1);
  EXPECT_EQ(link.lastResult, 1);
}

TEST_F(SerialLinkTest, FailedCloseIsReportedAndTheLinkIsClosedAnyway) {
  openAt(0);
  log.refuseClose = true;
  link.close();
  EXPECT_FALSE(link.isOpen());
  EXPECT_EQ(link.lastResult, 0);
  EXPECT_EQ(link.lastError, 6u);
}

TEST(SerialLinkLifetime, DestroyingAnOpenLinkClosesTheDevice) {
  PortLog log;
  {
    SerialLink link{std::make_unique<RecordingPort>(log)};
    ASSERT_EQ(link.open(3, 9600, 0), "");
  }
  EXPECT_FALSE(log.open);
  EXPECT_EQ(log.closes, 1);
}

TEST_F(SerialLinkTest, ClosedLinkTouchesNothingAndReportsFailure) {
  std::uint8_t buffer[2] = {0xEE, 0xEE};
  log.reads = {'A', 'B'};
  EXPECT_EQ(link.sendLine("0SL\r"), 0);
  EXPECT_EQ(link.writeByte('A', MARKPARITY), 0);
  EXPECT_EQ(link.readBytes(buffer, 2, 100), 0);
  EXPECT_EQ(link.readByte(100), kReadFailed);
  link.drain();
  EXPECT_EQ(buffer[0], 0xEE);
  EXPECT_EQ(log.trace, "");
  EXPECT_TRUE(log.readLimits.empty());
}

TEST_F(SerialLinkTest, PlainLineIsTheTextAloneAfterADrainAndParityIsIgnored) {
  openAt(0);
  log.reads = {'x', 'y'};  // stale bytes the drain must swallow
  EXPECT_EQ(link.sendLine("0SL\r"), 1);
  EXPECT_EQ(log.readLimits, (std::vector<int>{100, 100, 100}));
  EXPECT_EQ(link.writeByte(0x55, MARKPARITY), 1);
  EXPECT_EQ(log.trace, "30 53 4C 0D 55");
  EXPECT_EQ(log.device.parity, NOPARITY);
}

TEST(SerialLinkAddressed, FrameIsAddressesTextAndHalvedChecksumWithMarkSpaceParity) {
  struct Row {
    std::uint8_t address1, address2;
    std::string text;
    std::uint8_t checksum;
  };
  for (const Row& row : {Row{0x01, 0x02, "AB", 0x43}, Row{0xF0, 0x20, "A", 0x28}, Row{0x00, 0x00, "0SL\r", 0x6E},
                         Row{0x00, 0x00, "", 0x00}}) {
    PortLog log;
    SerialLink link{std::make_unique<RecordingPort>(log)};
    ASSERT_EQ(link.open(0, 9600, 1), "");
    link.addressByte1 = row.address1;
    link.addressByte2 = row.address2;
    EXPECT_EQ(link.sendLine(row.text), 1);
    std::vector<std::uint8_t> frame{row.address1, row.address2};
    for (const char c : row.text) frame.push_back(static_cast<std::uint8_t>(c));
    frame.push_back(row.checksum);
    EXPECT_EQ(log.values, frame) << row.text;
    std::vector<std::uint8_t> parities(frame.size(), SPACEPARITY);
    parities.front() = parities.back() = MARKPARITY;
    EXPECT_EQ(log.parities, parities) << row.text;
    EXPECT_EQ(link.runningSum, 0);
  }
}

TEST_F(SerialLinkTest, AddressedParityIsSwitchedWithItsPauseOnlyWhereItChanges) {
  openAt(1);
  link.sendLine("AB");
  EXPECT_EQ(log.trace, "~2 =M 00 ~2 =S 00 41 42 ~2 =M 41");
  log.trace.clear();
  link.sendLine("AB");  // the checksum left the line at mark: no switch before the address
  EXPECT_EQ(log.trace, "00 ~2 =S 00 41 42 ~2 =M 41");
}

TEST_F(SerialLinkTest, RefusedParitySwitchIsReportedAndTheByteStillGoesOut) {
  openAt(1);
  log.refuseSetState = true;
  EXPECT_EQ(link.writeByte(0x07, MARKPARITY), 1);
  EXPECT_EQ(log.values, std::vector<std::uint8_t>{0x07});
  EXPECT_EQ(link.lastError, 87u);
}

TEST_F(SerialLinkTest, FailedWriteDoesNotStopTheLineAndOnlyTheLastWriteCounts) {
  struct Row {
    std::size_t failing;
    int result;
  };
  openAt(0);
  for (const Row& row : {Row{1, 1}, Row{3, 0}}) {
    log.values.clear();
    log.failingWrites = {row.failing};
    link.lastError = 0;
    EXPECT_EQ(link.sendLine("ABCD"), row.result) << row.failing;
    EXPECT_EQ(log.values.size(), 4u);
    EXPECT_EQ(link.lastError, 1117u);
  }
}

TEST_F(SerialLinkTest, ReadBytesStoresWhatArrivedAndLeavesTheRestUntouched) {
  struct Row {
    std::deque<int> reads;
    std::size_t count;
    int result;
    std::string buffer;
    std::size_t readsMade;
    std::int32_t lastResult;
  };
  openAt(0);
  for (const Row& row : {Row{{'Z', 'Y', 'X', 'W'}, 4, 1, "ZYXW", 4, 1}, Row{{'Z', kReadTimedOut}, 4, 0, "Z...", 2, 1},
                         Row{{'Z', kReadFailed}, 4, 0, "Z...", 2, 0}, Row{{'Z'}, 0, 1, "....", 0, 1}}) {
    log.reads = row.reads;
    log.readLimits.clear();
    link.lastResult = 1;
    std::string buffer = "....";
    EXPECT_EQ(link.readBytes(reinterpret_cast<std::uint8_t*>(buffer.data()), row.count, 250), row.result);
    EXPECT_EQ(buffer, row.buffer);
    EXPECT_EQ(log.readLimits, std::vector<int>(row.readsMade, 250));
    EXPECT_EQ(link.lastResult, row.lastResult);
  }
}

TEST_F(SerialLinkTest, LimitOfZeroOrLessReachesThePortAsNoLimit) {
  openAt(0);
  std::uint8_t byte = 0;
  link.readBytes(&byte, 1, 0);
  link.readBytes(&byte, 1, -5);
  EXPECT_EQ(log.readLimits, (std::vector<int>{0, 0}));
}

TEST_F(SerialLinkTest, DrainEndsAtTheFirstQuietPeriodOrReadFailure) {
  openAt(0);
  log.reads = {1, 2, 3};
  link.drain();
  EXPECT_EQ(log.readLimits, (std::vector<int>{100, 100, 100, 100}));
  log.reads = {1, kReadFailed, 2};
  link.drain();
  EXPECT_EQ(log.reads, std::deque<int>{2});
  EXPECT_EQ(link.lastError, 0u);  // reads never set it
}

TEST_F(SerialLinkTest, DrainOfADeviceThatNeverFallsSilentEndsAfterItsCap) {
  openAt(0);
  log.reads.assign(SerialLink::kDrainCapBytes + 10, '#');
  link.drain();
  EXPECT_EQ(log.reads.size(), 10u);
}

TEST_F(SerialLinkTest, EmptyPlainLineOnlyDrainsAndReportsTheDrainsLastRead) {
  openAt(0);
  EXPECT_EQ(link.sendLine(""), 1);
  log.reads = {kReadFailed};
  EXPECT_EQ(link.sendLine(""), 0);
  EXPECT_EQ(log.trace, "");
}

TEST_F(SerialLinkTest, GoneDeviceIsReleasedAndOpenedAgainWithItsSettingsBeforeTheNextLine) {
  openAt(1);
  std::vector<std::string> failures;
  link.onReopenFailure = [&](const std::string& message) { failures.push_back(message); };
  log.gone = true;
  log.reads = {kReadFailed};
  EXPECT_EQ(link.readByte(2000), kReadFailed);
  EXPECT_TRUE(link.isLost());
  EXPECT_TRUE(link.isOpen());
  EXPECT_EQ(log.trace, "close");
  // Lost: nothing reaches the port until it is open again, and nothing waits.
  log.reads = {'R'};
  EXPECT_EQ(link.readByte(2000), kReadFailed);
  EXPECT_EQ(link.writeByte('A', SPACEPARITY), 0);
  EXPECT_EQ(log.readLimits, std::vector<int>{2000});

  log.refuseOpen = true;
  EXPECT_EQ(link.sendLine("A"), 0);
  EXPECT_EQ(link.sendLine("A"), 0);  // each line tries again
  EXPECT_EQ(failures, std::vector<std::string>(2, kInvalidHandle));
  EXPECT_TRUE(link.isLost());
  EXPECT_EQ(log.trace, "close");

  log.refuseOpen = false;
  log.reads.clear();
  EXPECT_EQ(link.sendLine("A"), 1);
  EXPECT_FALSE(link.isLost());
  EXPECT_EQ(log.trace, "close open =S ~2 =M 00 ~2 =S 00 41 ~2 =M 20");
  EXPECT_EQ(log.device.baudRate, 9600u);
  EXPECT_EQ(link.portIndex, 0);
}

TEST_F(SerialLinkTest, FailureOfADevicePresentKeepsItOpenAndClosingALostLinkClosesNothingTwice) {
  openAt(0);
  log.reads = {kReadFailed};
  EXPECT_EQ(link.readByte(100), kReadFailed);
  EXPECT_FALSE(link.isLost());
  log.gone = true;
  log.failingWrites = {0};
  EXPECT_EQ(link.writeByte('A', SPACEPARITY), 0);
  EXPECT_TRUE(link.isLost());
  link.close();
  EXPECT_FALSE(link.isOpen());
  EXPECT_FALSE(link.isLost());
  EXPECT_EQ(log.closes, 1);
  EXPECT_EQ(link.sendLine("A"), 0);  // closed, not lost: no reopen
  EXPECT_EQ(log.closes, 1);
  EXPECT_EQ(log.trace, "41 close");
}

}  // namespace
