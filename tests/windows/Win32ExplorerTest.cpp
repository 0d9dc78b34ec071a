// The program's own exchanges through the Win32 port layer and the simulated unit behind
// COM1: a drive listing, a copy's completion wait without a per-byte limit, and the start-up
// probe. Real time passes here.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Com1.h"
#include "app/ExplorerApp.h"
#include "link/SerialLink.h"
#include "support/Globals.h"
#include "support/WorkingFolder.h"
#include "ui/ProgressDialog.h"

namespace {

using platform::memory::Shown;
using win32_test::Clock;
using win32_test::Com1ExplorerTest;
using win32_test::Com1Test;
using win32_test::millisecondsSince;

std::vector<std::string> rowTexts(const platform::memory::MemoryListView& list) {
  std::vector<std::string> rows;
  for (const auto& row : list.rows()) rows.push_back(row.cells[0] + "|" + row.cells[1] + "|" + row.cells[2]);
  return rows;
}

using Win32ExplorerTest = Com1ExplorerTest;

TEST_F(Win32ExplorerTest, RemovableDriveIsListedWhole) {
  ASSERT_TRUE(dialog->listDrive(Removable));

  EXPECT_EQ(rowTexts(window->removableList),
            (std::vector<std::string>{"README.TXT||2KB", "PLY00002.LST||1KB", "SND00010.DKS|00:00:24|4,233KB",
                                      "VID00031.MPG|00:00:51|8,996KB"}));
  EXPECT_EQ(window->removableSummary.text(), "13,232KB (Disk free space: 196MB)");
  EXPECT_EQ(dialog->removableCapacityBytes, 409600u * 512u);
  EXPECT_TRUE(desktop.shownOf(Shown::Dialog).empty());
  EXPECT_EQ(log.take(3), (std::vector<std::string>{"1SL", "?R", "?D"}));
}

// The unit answers the copy's completion 1500 ms after accepting it (--completion-delay);
// the wait for it has no per-byte limit, which Win32 time-outs cannot say by themselves.
TEST_F(Win32ExplorerTest, CopyCompletionIsAwaitedWithoutALimit) {
  ASSERT_TRUE(dialog->sendCommand("VID00031MPGCI"));
  const auto start = Clock::now();

  EXPECT_TRUE(dialog->waitReply(0, true));
  EXPECT_GE(millisecondsSince(start), 1000);
  EXPECT_TRUE(desktop.shownOf(Shown::Dialog).empty());
  EXPECT_TRUE(desktop.shownOf(Shown::MessageBox).empty());
  EXPECT_EQ(log.take(1), std::vector<std::string>{"VID00031MPGCI"});
}

// Records the link's state when the main window would have run, instead of running it.
class ProbeDesktop : public platform::memory::MemoryDesktop {
 public:
  int runExplorer(ExplorerDialog&) override {
    ++explorerRuns;
    openOnPort = serialLink.isOpen() ? serialLink.portIndex : -1;
    return platform::IDCANCEL;
  }

  int explorerRuns = 0;
  int openOnPort = -1;
};

std::string fileText(const char* name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using Win32StartupTest = Com1Test;

TEST_F(Win32StartupTest, UnitOnCom1AnswersTheProbe) {
  WorkingFolder folder;
  std::ofstream(ExplorerApp::kConfigFile, std::ios::binary) << "1";
  ProbeDesktop desktop;
  ExplorerApp app;
  const auto start = Clock::now();

  EXPECT_FALSE(app.initInstance(desktop));

  // "R" CR comes at once; the third byte of the four-byte reply is waited for in vain.
  EXPECT_GE(millisecondsSince(start), ExplorerApp::kProbeTimeoutMs);
  EXPECT_EQ(desktop.explorerRuns, 1);
  EXPECT_EQ(desktop.openOnPort, 0);
  EXPECT_TRUE(desktop.portDialogChecks.empty());
  EXPECT_EQ(fileText(ExplorerApp::kConfigFile), "1");
  EXPECT_EQ(log.take(1), std::vector<std::string>{"0SL"});
  EXPECT_EQ(app.exitInstance(), 0);
  EXPECT_FALSE(serialLink.isOpen());
  resetGlobals();
}

}  // namespace
