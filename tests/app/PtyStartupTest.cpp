// Start-up through the real POSIX port: the probe on a pseudo-terminal reached as a "COMn"
// link in the working folder, and the ports that lead nowhere. Real time passes here.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "StartupSupport.h"
#include "app/ExplorerApp.h"
#include "link/SerialLink.h"
#include "res/Resources.h"
#include "sim/PtyUnit.h"
#include "sim/Unit.h"
#include "support/Globals.h"
#include "ui/ProgressDialog.h"

namespace {

using startup_test::CerrCapture;
using startup_test::occurrences;
using startup_test::readFile;
using startup_test::StartupDesktop;
using startup_test::writeFile;
using Clock = std::chrono::steady_clock;

class PtyStartupTest : public ::testing::Test {
 protected:
  void SetUp() override { resetGlobals(); }
  void TearDown() override { resetGlobals(); }

  static std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch()).count();
  }

  WorkingFolder folder;
  StartupDesktop desktop{&PtyStartupTest::nowMs};
  ExplorerApp app;
};

TEST_F(PtyStartupTest, UnitAnsweringOnCom1IsProbedAndTheDigitSaved) {
  sim::Unit unit;
  sim::PtyUnit pty(unit);
  ASSERT_FALSE(pty.slavePath().empty());
  ASSERT_TRUE(pty.createLink(folder.path().string(), 1));
  writeFile(ExplorerApp::kConfigFile, "1\n");
  const auto started = Clock::now();

  EXPECT_FALSE(app.initInstance(desktop));

  // "R" CR arrives at once; the reply buffer's third byte is waited for in vain.
  EXPECT_GE(Clock::now() - started, std::chrono::milliseconds(ExplorerApp::kProbeTimeoutMs));
  EXPECT_TRUE(desktop.portDialogs.empty());
  ASSERT_EQ(desktop.mainWindows.size(), 1u);
  EXPECT_TRUE(desktop.mainWindows[0].open);
  EXPECT_EQ(desktop.mainWindows[0].portIndex, 0);
  EXPECT_EQ(unit.receivedLines(), std::vector<std::string>{"0SL"});
  EXPECT_EQ(readFile(ExplorerApp::kConfigFile), "1");
  EXPECT_EQ(app.exitInstance(), 0);
  EXPECT_FALSE(serialLink.isOpen());
}

TEST_F(PtyStartupTest, NoDeviceBehindAnyPortAsksTwiceAndSavesTheChoice) {
  // Links to nothing, so that the machine's own /dev/ttyS0.. are never tried.
  for (int n = 1; n <= 4; ++n) {
    const auto link = folder.path() / ("COM" + std::to_string(n));
    std::filesystem::create_symlink(folder.path() / "no-such-device", link);
  }
  desktop.answerPortSelect(0, platform::IDOK);
  desktop.answerPortSelect(res::IDC_COM4, platform::IDOK);
  CerrCapture errors;

  EXPECT_FALSE(app.initInstance(desktop));

  EXPECT_EQ(desktop.portDialogChecks, (std::vector<int>{res::IDC_COM2, res::IDC_COM2}));
  ASSERT_EQ(desktop.mainWindows.size(), 1u);
  EXPECT_FALSE(desktop.mainWindows[0].open);
  EXPECT_EQ(readFile(ExplorerApp::kConfigFile), "4");
  EXPECT_EQ(occurrences(errors.text(), "COM2 (./COM2): "), 1) << errors.text();
  EXPECT_EQ(occurrences(errors.text(), "COM4 (./COM4): "), 1) << errors.text();
  EXPECT_EQ(occurrences(errors.text(), "No such file or directory"), 2) << errors.text();
  EXPECT_EQ(desktop.shownOf(platform::memory::Shown::MessageBox).size(), 2u) << "one box per distinct failure";
}

// Opening a FIFO for reading waits for a writer: the start-up must not.
TEST_F(PtyStartupTest, ConfigThatIsAFifoIsNotWaitedFor) {
  ASSERT_EQ(::mkfifo(ExplorerApp::kConfigFile, 0600), 0);
  desktop.answerPortSelect(0, platform::IDCANCEL);

  EXPECT_FALSE(app.initInstance(desktop));

  EXPECT_EQ(desktop.portDialogChecks, std::vector<int>{res::IDC_COM2});
  EXPECT_TRUE(desktop.mainWindows.empty());
}

}  // namespace
