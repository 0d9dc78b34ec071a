// Start-up through the in-memory port: the configuration file, the port dialogs, the probe
// and its waits on the virtual clock, and what is saved.
#include <gmock/gmock.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "StartupSupport.h"
#include "app/ExplorerApp.h"
#include "app/PortSelectDialog.h"
#include "link/SerialLink.h"
#include "res/Resources.h"
#include "sim/MemoryPort.h"
#include "sim/Unit.h"
#include "support/Globals.h"
#include "ui/ProgressDialog.h"

namespace {

using platform::memory::Shown;
using startup_test::CerrCapture;
using startup_test::occurrences;
using startup_test::readFile;
using startup_test::StartupDesktop;
using startup_test::writeFile;

constexpr const char* kConfig = ExplorerApp::kConfigFile;
// Two drains of 100 ms of quiet, then the probe's time-out for the first reply byte.
constexpr std::int64_t kProbeWaitMs = 2 * SerialLink::kDrainQuietMs + ExplorerApp::kProbeTimeoutMs;

// A misbehaviour of the unit's reply to the probe's "0SL".
sim::FaultRule probeFault(sim::Fault fault, std::string code = "", int count = 0, int durationMs = 0) {
  sim::FaultRule rule;
  rule.command = "SL";
  rule.fault = fault;
  rule.code = std::move(code);
  rule.count = count;
  rule.durationMs = durationMs;
  return rule;
}

class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto memoryPort = std::make_unique<sim::MemoryPort>(unit, clock);
    port = memoryPort.get();
    serialLink.setPort(std::move(memoryPort));
  }

  void TearDown() override { resetGlobals(); }

  // Runs the start-up routine; it never asks for a message loop of its own.
  void start() { EXPECT_FALSE(app.initInstance(desktop)); }

  int probes() const { return occurrences(linesSent(), "0SL|"); }
  std::string linesSent() const {
    std::string joined;
    for (const auto& line : unit.receivedLines()) joined += line + "|";
    return joined;
  }

  WorkingFolder folder;
  sim::Unit unit;
  sim::VirtualClock clock;
  sim::MemoryPort* port = nullptr;  // owned by serialLink
  StartupDesktop desktop{[this] { return clock.nowMs(); }};
  ExplorerApp app;
};

TEST_F(StartupTest, ConfiguredPortOpensWithoutAskingAndIsSavedAsOneDigit) {
  struct Case {
    std::string content;
    int portIndex;
    std::string saved;
  };
  for (const Case& c : {Case{"3", 2, "3"}, Case{"4\r\n", 3, "4"}, Case{"1", 0, "1"}}) {
    SCOPED_TRACE(c.content);
    WorkingFolder caseFolder;
    sim::Unit caseUnit;
    auto owned = std::make_unique<sim::MemoryPort>(caseUnit, clock);
    const sim::MemoryPort* casePort = owned.get();
    serialLink.setPort(std::move(owned));
    StartupDesktop caseDesktop{[this] { return clock.nowMs(); }};
    writeFile(kConfig, c.content);
    CerrCapture errors;

    EXPECT_FALSE(app.initInstance(caseDesktop));

    EXPECT_TRUE(caseDesktop.portDialogs.empty());
    ASSERT_EQ(caseDesktop.mainWindows.size(), 1u);
    EXPECT_TRUE(caseDesktop.mainWindows[0].open);
    EXPECT_EQ(casePort->openIndex(), c.portIndex);
    EXPECT_EQ(casePort->settings().baudRate, 9600u);
    EXPECT_EQ(casePort->settings().parity, NOPARITY);
    EXPECT_EQ(caseUnit.receivedLines(), std::vector<std::string>{"0SL"});
    EXPECT_EQ(readFile(kConfig), c.saved);
    EXPECT_EQ(errors.text(), "");
  }
}

TEST_F(StartupTest, ExitStepClosesTheLink) {
  writeFile(kConfig, "2");
  start();
  ASSERT_TRUE(port->isOpen());
  EXPECT_EQ(app.exitInstance(), 0);
  EXPECT_FALSE(port->isOpen());
  EXPECT_FALSE(serialLink.isOpen());
}

// A configuration that names no port: the dialog comes with COM 2 checked.
struct UnusableConfig {
  const char* name;
  enum Kind { Missing, Bytes, Folder } kind;
  std::string bytes;
};

std::string binaryMegabyte() {
  std::string bytes(1 << 20, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 131 + 7) & 0xFF);
  return bytes;
}

class UnusableConfigTest : public StartupTest, public ::testing::WithParamInterface<UnusableConfig> {
 protected:
  void SetUp() override {
    StartupTest::SetUp();
    const UnusableConfig& config = GetParam();
    if (config.kind == UnusableConfig::Bytes) writeFile(kConfig, config.bytes);
    if (config.kind == UnusableConfig::Folder) std::filesystem::create_directory(kConfig);
  }
};

TEST_P(UnusableConfigTest, AsksWithCom2CheckedAndOkWithoutClickUsesCom2) {
  desktop.answerPortSelect(0, platform::IDOK);
  start();

  EXPECT_EQ(desktop.portDialogChecks, std::vector<int>{res::IDC_COM2});
  ASSERT_EQ(desktop.mainWindows.size(), 1u);
  EXPECT_EQ(desktop.mainWindows[0].portIndex, 1);
  EXPECT_EQ(port->openIndex(), 1);
  const auto boxes = desktop.shownOf(Shown::MessageBox);
  if (GetParam().kind == UnusableConfig::Folder) {
    EXPECT_TRUE(std::filesystem::is_directory(kConfig));  // a folder of the user's is never removed
    // and the user learns why the port will be asked for again
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_THAT(boxes[0].text, ::testing::HasSubstr("mav.cfg: a folder has that name.\nIt will be asked for again"));
  } else {
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(readFile(kConfig), "2");
  }
}

TEST_P(UnusableConfigTest, ExitInFirstDialogOpensNoPortAndLeavesTheFileAlone) {
  const auto before = readFile(kConfig);
  desktop.answerPortSelect(res::IDC_COM3, platform::IDCANCEL);
  start();

  EXPECT_EQ(desktop.portDialogs.size(), 1u);
  EXPECT_TRUE(desktop.mainWindows.empty());
  EXPECT_FALSE(serialLink.isOpen());
  EXPECT_EQ(port->settings().baudRate, 0u) << "a port was set up";
  EXPECT_TRUE(unit.receivedLines().empty());
  EXPECT_EQ(readFile(kConfig), before);
  EXPECT_EQ(std::filesystem::exists(kConfig), GetParam().kind != UnusableConfig::Missing);
}

using Config = UnusableConfig;
INSTANTIATE_TEST_SUITE_P(Configs, UnusableConfigTest,
                         ::testing::Values(Config{"Zero", Config::Bytes, "0"}, Config{"Five", Config::Bytes, "5"},
                                           Config{"Letter", Config::Bytes, "A"}, Config{"Empty", Config::Bytes, ""},
                                           Config{"Missing", Config::Missing, ""}, Config{"Folder", Config::Folder, ""},
                                           Config{"BinaryMegabyte", Config::Bytes, binaryMegabyte()}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, ErrorReplyIsAcceptedLikeReady) {
  unit.addFault(probeFault(sim::Fault::ErrorCode, "04"));
  writeFile(kConfig, "3");
  start();

  EXPECT_TRUE(desktop.portDialogs.empty());
  ASSERT_EQ(desktop.mainWindows.size(), 1u);
  EXPECT_EQ(desktop.mainWindows[0].portIndex, 2);
  EXPECT_EQ(readFile(kConfig), "3");
}

TEST_F(StartupTest, ReadyWithoutCrIsAcceptedAfterTheSecondBytesTimeOut) {
  unit.addFault(probeFault(sim::Fault::RWithoutCr));
  std::int64_t probeSentMs = -1;
  unit.setLineObserver([&](const std::string&) { probeSentMs = clock.nowMs(); });
  writeFile(kConfig, "3");
  start();

  ASSERT_EQ(desktop.mainWindows.size(), 1u);
  EXPECT_EQ(desktop.mainWindows[0].atMs - probeSentMs, ExplorerApp::kProbeTimeoutMs);
  EXPECT_TRUE(desktop.portDialogs.empty());
  EXPECT_EQ(readFile(kConfig), "3");
}

// The first port fails the probe; the user picks COM 4 in the second dialog.
struct ProbeFailure {
  const char* name;
  void (*arrange)(sim::Unit&, sim::MemoryPort&);
  int probesSent;
  std::int64_t secondDialogAtMs;  // -1: as the noise happens to fall
};

class ProbeFailureTest : public StartupTest, public ::testing::WithParamInterface<ProbeFailure> {};

TEST_P(ProbeFailureTest, ClosesAndAsksOnceMoreThenOpensTheChoiceWithoutProbe) {
  GetParam().arrange(unit, *port);
  writeFile(kConfig, "3");
  desktop.answerPortSelect(res::IDC_COM4, platform::IDOK);
  CerrCapture errors;
  start();

  EXPECT_EQ(desktop.portDialogChecks, std::vector<int>{res::IDC_COM2});
  ASSERT_EQ(desktop.portDialogs.size(), 1u);
  EXPECT_FALSE(desktop.portDialogs[0].open) << "the failed port is still open";
  if (GetParam().secondDialogAtMs >= 0) {
    EXPECT_EQ(desktop.portDialogs[0].atMs, GetParam().secondDialogAtMs);
  }
  EXPECT_EQ(probes(), GetParam().probesSent) << linesSent();
  // Why the dialog comes again is told first: silence on an open port, or why it did not open.
  const auto boxes = desktop.shownOf(Shown::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(desktop.shown().front().kind, Shown::MessageBox);
  EXPECT_EQ(occurrences(boxes[0].text, "No unit answered on COM3."), GetParam().probesSent) << boxes[0].text;
  EXPECT_EQ(occurrences(errors.text(), "COM3"), 1) << errors.text();
  ASSERT_EQ(desktop.mainWindows.size(), 1u);
  EXPECT_TRUE(desktop.mainWindows[0].open);
  EXPECT_EQ(desktop.mainWindows[0].portIndex, 3);
  EXPECT_EQ(readFile(kConfig), "4");
}

void silentUnit(sim::Unit& unit, sim::MemoryPort&) { unit.addFault(probeFault(sim::Fault::Silence)); }
void noisyUnit(sim::Unit& unit, sim::MemoryPort&) {
  unit.addFault(probeFault(sim::Fault::ContinuousNoise, "", 500, 10000));
}
void com3Absent(sim::Unit&, sim::MemoryPort& port) { port.setPresent(2, false); }
void com3Busy(sim::Unit&, sim::MemoryPort& port) { port.setBusy(2, true); }

INSTANTIATE_TEST_SUITE_P(Failures, ProbeFailureTest,
                         ::testing::Values(ProbeFailure{"Silence", silentUnit, 1, kProbeWaitMs},
                                           ProbeFailure{"NoiseOnly", noisyUnit, 1, -1},
                                           ProbeFailure{"PortAbsent", com3Absent, 0, 0},
                                           ProbeFailure{"PortBusy", com3Busy, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, SecondDialogPresetsCom2WhateverWasChosenBefore) {
  unit.addFault(probeFault(sim::Fault::Silence));
  desktop.answerPortSelect(res::IDC_COM3, platform::IDOK);
  desktop.answerPortSelect(0, platform::IDOK);
  start();

  EXPECT_EQ(desktop.portDialogChecks, (std::vector<int>{res::IDC_COM2, res::IDC_COM2}));
  ASSERT_EQ(desktop.mainWindows.size(), 1u);
  EXPECT_EQ(desktop.mainWindows[0].portIndex, 1);
  EXPECT_EQ(probes(), 1);
  EXPECT_EQ(readFile(kConfig), "2");
}

TEST_F(StartupTest, ExitInSecondDialogLeavesThePortClosedAndTheFileAlone) {
  unit.addFault(probeFault(sim::Fault::Silence));
  writeFile(kConfig, "3\r\n");
  desktop.answerPortSelect(res::IDC_COM4, platform::IDCANCEL);
  start();

  EXPECT_EQ(desktop.portDialogs.size(), 1u);
  EXPECT_TRUE(desktop.mainWindows.empty());
  EXPECT_FALSE(port->isOpen());
  EXPECT_FALSE(serialLink.isOpen());
  EXPECT_EQ(readFile(kConfig), "3\r\n");
}

// An 'R' or 'E' read from the file is no answer of the unit.
TEST_F(StartupTest, ConfigByteIsNotTakenForAReply) {
  for (const char* content : {"R", "E"}) {
    SCOPED_TRACE(content);
    WorkingFolder caseFolder;
    StartupDesktop caseDesktop{[this] { return clock.nowMs(); }};
    unit.addFault(probeFault(sim::Fault::Silence));
    writeFile(kConfig, content);
    caseDesktop.answerPortSelect(0, platform::IDOK);
    caseDesktop.answerPortSelect(0, platform::IDCANCEL);

    EXPECT_FALSE(app.initInstance(caseDesktop));

    EXPECT_EQ(caseDesktop.portDialogs.size(), 2u);
    EXPECT_TRUE(caseDesktop.mainWindows.empty());
    EXPECT_EQ(readFile(kConfig), content);
  }
}

// A port that refuses to open fails every time; the reason and its fix are told once.
class RefusingPort : public SerialPort {
 public:
  bool openDevice(int) override { return false; }
  bool getState(LineSettings&) override { return false; }
  bool setState(const LineSettings&) override { return false; }
  bool writeByte(std::uint8_t) override { return false; }
  int readByte(int) override { return kReadFailed; }
  bool closeDevice() override { return true; }
  std::uint32_t lastError() const override { return 13; }
  std::string lastErrorText() const override { return "Permission denied"; }
};

TEST_F(StartupTest, PermissionDeniedIsReportedOnceWithTheFix) {
  serialLink.setPort(std::make_unique<RefusingPort>());
  writeFile(kConfig, "3\r\n");
  desktop.answerPortSelect(res::IDC_COM3, platform::IDOK);
  CerrCapture errors;
  start();

  // On the screen, before the port dialog comes again; the same words on standard error.
  const auto boxes = desktop.shownOf(Shown::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(desktop.shown().front().kind, Shown::MessageBox);
  EXPECT_EQ(boxes[0].caption, "Dorvik Explorer");
  EXPECT_EQ(boxes[0].style, platform::MB_OK | platform::MB_ICONEXCLAMATION);
  for (const std::string& text : {boxes[0].text, errors.text()}) {
    EXPECT_EQ(occurrences(text, "COM3"), 1) << text;
    EXPECT_EQ(occurrences(text, "Opening serial port: Invalid handle retrieved opening port"), 1) << text;
    EXPECT_EQ(occurrences(text, "Permission denied"), 1) << text;
    EXPECT_EQ(occurrences(text, "the dialout group"), 1) << text;
  }
  // Start-up goes on as without the message: the choice is saved and the main window runs.
  EXPECT_EQ(desktop.portDialogs.size(), 1u);
  ASSERT_EQ(desktop.mainWindows.size(), 1u);
  EXPECT_FALSE(desktop.mainWindows[0].open);
  EXPECT_EQ(readFile(kConfig), "3");
}

TEST_F(StartupTest, BusyPortIsReportedOnce) {
  port->setBusy(2, true);
  writeFile(kConfig, "3");
  desktop.answerPortSelect(res::IDC_COM3, platform::IDOK);
  CerrCapture errors;
  start();

  EXPECT_EQ(occurrences(errors.text(), "COM3: Opening serial port"), 1) << errors.text();
  EXPECT_EQ(desktop.portDialogs.size(), 1u);
  ASSERT_EQ(desktop.shownOf(Shown::MessageBox).size(), 1u);
  EXPECT_EQ(occurrences(desktop.shownOf(Shown::MessageBox)[0].text, "dialout"), 0) << "a hint that does not apply";
}

TEST_F(StartupTest, PulledAdapterIsOpenedAgainByTheNextCommandAndItsAbsenceIsTold) {
  writeFile(kConfig, "2");
  start();
  sim::FaultRule pulled = probeFault(sim::Fault::CloseLine);
  unit.addFault(pulled);
  EXPECT_FALSE(app.probeUnit());
  ASSERT_TRUE(serialLink.isLost());
  CerrCapture errors;

  EXPECT_FALSE(app.probeUnit());  // still out: nothing sent, the reason on the screen
  const auto boxes = desktop.shownOf(Shown::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(occurrences(boxes[0].text, "went away"), 1) << boxes[0].text;
  EXPECT_EQ(occurrences(boxes[0].text,
                        "COM2: Opening serial port: Invalid handle retrieved opening port (no such "
                        "device)"),
            1)
      << boxes[0].text;
  EXPECT_EQ(occurrences(errors.text(), "went away"), 1);
  EXPECT_EQ(probes(), 2);

  port->setPresent(1, true);
  EXPECT_TRUE(app.probeUnit());
  EXPECT_EQ(desktop.shownOf(Shown::MessageBox).size(), 1u);
  EXPECT_EQ(port->openIndex(), 1);
  EXPECT_EQ(port->settings().baudRate, 9600u);
  EXPECT_EQ(probes(), 3);
}

TEST(PortSelectDialogTest, ChecksCom2AndClicksSetTheIndexAtOnce) {
  platform::memory::FocusTracker focus;
  platform::memory::MemoryControl com1(focus, "COM 1"), com2(focus, "COM 2");
  platform::memory::MemoryControl com3(focus, "COM 3"), com4(focus, "COM 4");
  com1.setCheck(true);
  platform::Control* const radios[4] = {&com1, &com2, &com3, &com4};
  std::int32_t portIndex = -1;
  PortSelectDialog dialog(portIndex);

  dialog.onInitDialog(radios);
  EXPECT_FALSE(com1.isChecked());
  EXPECT_TRUE(com2.isChecked());
  EXPECT_FALSE(com3.isChecked());
  EXPECT_FALSE(com4.isChecked());
  EXPECT_EQ(portIndex, -1) << "initialisation chooses nothing by itself";

  for (int id : {res::IDC_COM4, res::IDC_COM1, res::IDC_COM3, res::IDC_COM2}) {
    dialog.onRadioClicked(id);
    EXPECT_EQ(portIndex, id - res::IDC_COM1);
  }
  dialog.onRadioClicked(res::IDC_COM4 + 1);
  dialog.onRadioClicked(res::IDC_COM1 - 1);
  EXPECT_EQ(portIndex, 1) << "a control outside the four buttons changed the port";
}

}  // namespace
