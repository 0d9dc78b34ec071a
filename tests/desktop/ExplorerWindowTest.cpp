// The main window on real widgets, run by the real desktop exactly as the program runs it,
// against the unit simulator behind a pseudo-terminal reached through the real port code.
// It reads what pixels cannot tell: the rows' order, the summary texts, the splash's window,
// and which lines reach the unit when the real buttons are clicked (through the X server).
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/init.h>
#include <wx/listctrl.h>
#include <wx/popupwin.h>
#include <wx/stattext.h>
#include <wx/time.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "link/SerialLink.h"
#include "platform/wx/Art.h"
#include "platform/wx/ExplorerWindow.h"
#include "platform/wx/Text.h"
#include "platform/wx/WxDesktop.h"
#include "protocol/CommandText.h"
#include "res/Resources.h"
#include "sim/PtyUnit.h"
#include "support/Globals.h"
#include "support/WorkingFolder.h"
#include "ui/ExplorerDialog.h"
#include "ui/ProgressDialog.h"

namespace {

// Rows in table order, not clip-number order, so that only the listing's sort can order them.
// Internal: 40,926,944 bytes used of 614400 sectors (314,572,800 bytes); Removable:
// 14,994,236 bytes of 409600 sectors (209,715,200 bytes).
constexpr const char* kManifest =
    "[internal]\ncapacity 614400\n"
    "VID00027.MPG 15876000\nREADME.TXT 2048\nVID00003.MPG 21168000\n"
    "COMMAND1.BAT 96\nSND00005.MP3 705600\nVID00012.MPG 3175200\n"
    "[removable]\ncapacity 409600\n"
    "VID00031.MPG 8996400\nPLY00002.LST 236\nVID00004.MPG 1764000\nSND00010.WAV 4233600\n";

constexpr long kActionLimitMs = 10000;

// Lets the windows handle what happened until done() holds or the limit passes.
bool yieldUntil(const std::function<bool()>& done, long limitMs = kActionLimitMs) {
  const wxLongLong deadline = wxGetLocalTimeMillis() + limitMs;
  while (!done()) {
    if (wxGetLocalTimeMillis() >= deadline) return false;
    wxTheApp->Yield(true);
    wxMilliSleep(10);
  }
  return true;
}

void settle(long ms) {
  yieldUntil([] { return false; }, ms);
}

// A real click through the X server at a point of window's client area.
void clickAt(wxWindow* window, const wxPoint& point) {
  wxUIActionSimulator input;
  input.MouseMove(window->ClientToScreen(point));
  settle(50);
  input.MouseClick();
  settle(50);
}

void clickButton(wxWindow* button) {
  const wxSize size = button->GetClientSize();
  clickAt(button, wxPoint(size.x / 2, size.y / 2));
}

void clickRow(wxListCtrl* list, long row) {
  wxRect rect;
  ASSERT_TRUE(list->GetItemRect(row, rect));
  clickAt(list, wxPoint(rect.x + 30, rect.y + rect.height / 2));
}

// The header of a report list stands at the top of its client area.
void clickHeader(wxListCtrl* list, int x) { clickAt(list, wxPoint(x, 5)); }

std::vector<std::string> names(const wxListCtrl* list) {
  std::vector<std::string> all;
  for (int row = 0; row < list->GetItemCount(); ++row) all.push_back(wxui::fromWx(list->GetItemText(row, 0)));
  return all;
}

wxui::ExplorerWindow* explorerWindow() { return dynamic_cast<wxui::ExplorerWindow*>(wxTheApp->GetTopWindow()); }

// The splash is a popup window owned by the main window, as large as its picture.
int splashesOnScreen() {
  int shown = 0;
  if (wxui::ExplorerWindow* window = explorerWindow()) {
    for (wxWindow* child : window->GetChildren()) {
      if (wxDynamicCast(child, wxPopupWindow) && child->IsShown() &&
          child->GetSize() == wxSize(wxui::kSplashWidth, wxui::kSplashHeight)) {
        ++shown;
      }
    }
  }
  return shown;
}

// The real desktop, but no box may wait for a person: message boxes and the communication
// dialogs are answered at once and recorded. Each listing notes whether the splash stood on
// the screen when its progress window opened.
class AnsweringDesktop : public wxui::WxDesktop {
 public:
  int messageBox(const std::string& text, const std::string& caption, unsigned) override {
    boxes.push_back(caption + "|" + text);
    return platform::IDOK;
  }
  int runTemplateDialog(int templateId) override {
    dialogs.push_back(templateId);
    return platform::IDCANCEL;
  }
  std::unique_ptr<platform::ProgressWindow> createProgressWindow() override {
    splashesAtListing.push_back(splashesOnScreen());
    return WxDesktop::createProgressWindow();
  }

  std::vector<std::string> boxes;
  std::vector<int> dialogs;
  std::vector<int> splashesAtListing;
};

class ExplorerWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(unit_.seedManifest(kManifest, &error)) << error;
    pty_ = std::make_unique<sim::PtyUnit>(unit_);
    ASSERT_TRUE(pty_->createLink(folder_.path().string(), 1));
    resetGlobals();
    ASSERT_EQ(serialLink.open(0, 9600, 0), "");
    progressDialog.attach(&desktop_);
  }

  void TearDown() override {
    resetGlobals();
    pty_.reset();
  }

  // Runs the main window as the program does; the scenario runs inside its modal loop once
  // the window is on the screen, and must end it with Exit. Returns runExplorer's result.
  int runWindow(const std::function<void(wxui::ExplorerWindow&)>& scenario) {
    ExplorerDialog logic(desktop_);
    bool started = false;
    const auto startOnce = [&](wxIdleEvent& event) {
      event.Skip();
      wxui::ExplorerWindow* window = explorerWindow();
      if (started || !window || !window->IsModal() || !window->IsShown()) return;
      started = true;
      window->CallAfter([&scenario, window] {
        settle(300);  // mapped and painted
        scenario(*window);
        if (!window->IsModal()) return;
        ADD_FAILURE() << "the main window is still open after the scenario";
        window->EndModal(wxID_CANCEL);
      });
    };
    wxTheApp->Bind(wxEVT_IDLE, startOnce);
    const int result = desktop_.runExplorer(logic);
    EXPECT_TRUE(wxTheApp->Unbind(wxEVT_IDLE, startOnce));
    EXPECT_TRUE(started) << "the main window never ran its modal loop";
    EXPECT_EQ(desktop_.mainWindow(), nullptr);
    EXPECT_EQ(desktop_.boxes, std::vector<std::string>{});
    EXPECT_EQ(desktop_.dialogs, std::vector<int>{});
    return result;
  }

  // Clicks E&xit and waits for the modal loop to end.
  static void exitWindow(wxui::ExplorerWindow& window) {
    clickButton(window.control(res::ID_APP_EXIT));
    EXPECT_TRUE(yieldUntil([&] { return !window.IsModal(); })) << "E&xit did not end the main window";
  }

  // Lines the unit received since the last call, without their CR.
  std::vector<std::string> takeLines() {
    auto lines = unit_.receivedLines();
    unit_.clearReceivedLines();
    return lines;
  }

  sim::Unit unit_;
  AnsweringDesktop desktop_;

 private:
  WorkingFolder folder_;
  std::unique_ptr<sim::PtyUnit> pty_;
};

wxListCtrl* listOf(const wxui::ExplorerWindow& window, int id) { return wxDynamicCast(window.control(id), wxListCtrl); }

std::string summaryOf(const wxui::ExplorerWindow& window, int id) {
  auto* summary = wxDynamicCast(window.control(id), wxStaticText);
  return summary ? wxui::fromWx(summary->GetLabelText()) : "(no static)";
}

TEST_F(ExplorerWindowTest, OpensWithBothDrivesInClipNumberOrderAndAHeaderClickSortsDescending) {
  const int result = runWindow([&](wxui::ExplorerWindow& window) {
    EXPECT_EQ(wxui::fromWx(window.GetTitle()), "Dorvik Explorer");
    EXPECT_EQ(splashesOnScreen(), 0) << "the splash outlived the start-up";
    wxListCtrl* removable = listOf(window, res::IDC_REMOVABLE_LIST);
    wxListCtrl* internal = listOf(window, res::IDC_INTERNAL_LIST);
    ASSERT_TRUE(removable && internal);

    // Names that are no clip come first: the other file (-1), then the command file (0).
    EXPECT_EQ(names(internal), (std::vector<std::string>{"README.TXT", "COMMAND1.BAT", "VID00003.MPG", "SND00005.MP3",
                                                         "VID00012.MPG", "VID00027.MPG"}));
    EXPECT_EQ(names(removable),
              (std::vector<std::string>{"PLY00002.LST", "VID00004.MPG", "SND00010.WAV", "VID00031.MPG"}));
    EXPECT_EQ(wxui::fromWx(internal->GetItemText(2, 1)), "00:02:00");
    EXPECT_EQ(wxui::fromWx(internal->GetItemText(2, 2)), "21,168KB");
    EXPECT_EQ(summaryOf(window, res::IDC_INTERNAL_SUMMARY), "40,926KB (Disk free space: 273MB)");
    EXPECT_EQ(summaryOf(window, res::IDC_REMOVABLE_SUMMARY), "14,994KB (Disk free space: 194MB)");
    // The Removable list has the focus: its drive is current, so only "-->" copies.
    EXPECT_TRUE(window.control(res::IDC_TO_INTERNAL)->IsThisEnabled());
    EXPECT_FALSE(window.control(res::IDC_TO_REMOVABLE)->IsThisEnabled());

    // The first header click on a list sorts it descending; each list keeps its own order.
    // Length sorts by the running length: VID00003 runs 120 s, VID00027 90 s. (Size, which sorts
    // by the same key, lies beyond the list's width, scaled as the dialog units are.)
    clickHeader(removable, 30);
    EXPECT_TRUE(yieldUntil([&] { return names(removable).front() == "VID00031.MPG"; })) << "Name header click";
    EXPECT_EQ(names(removable),
              (std::vector<std::string>{"VID00031.MPG", "SND00010.WAV", "VID00004.MPG", "PLY00002.LST"}));
    clickHeader(internal, internal->GetColumnWidth(0) + 20);
    EXPECT_TRUE(yieldUntil([&] { return names(internal).front() == "VID00003.MPG"; })) << "Length header click";
    const auto byLength = names(internal);
    EXPECT_EQ(std::vector<std::string>(byLength.begin(), byLength.begin() + 4),
              (std::vector<std::string>{"VID00003.MPG", "VID00027.MPG", "VID00012.MPG", "SND00005.MP3"}));
    EXPECT_EQ(names(removable).front(), "VID00031.MPG");

    clickHeader(removable, 30);  // the second click reverses the first
    EXPECT_TRUE(yieldUntil([&] { return names(removable).front() == "PLY00002.LST"; })) << "second header click";
    exitWindow(window);
  });
  EXPECT_EQ(result, platform::IDCANCEL);
  // Both drives were listed while the splash stood, and only those two listings ran.
  EXPECT_EQ(desktop_.splashesAtListing, (std::vector<int>{1, 1}));
}

TEST_F(ExplorerWindowTest, PlayAndCopyButtonsSendTheirLinesForTheClickedRow) {
  const int result = runWindow([&](wxui::ExplorerWindow& window) {
    wxListCtrl* removable = listOf(window, res::IDC_REMOVABLE_LIST);
    wxListCtrl* internal = listOf(window, res::IDC_INTERNAL_LIST);
    ASSERT_TRUE(removable && internal);
    ASSERT_EQ(names(removable).at(1), "VID00004.MPG");
    takeLines();

    // A click on a row selects it and shows its size under the list.
    clickRow(removable, 1);
    ASSERT_TRUE(yieldUntil([&] { return removable->GetItemState(1, wxLIST_STATE_SELECTED) != 0; }))
        << "the click did not select the row";
    EXPECT_TRUE(yieldUntil([&] { return summaryOf(window, res::IDC_REMOVABLE_SUMMARY) == "1,764KB"; }))
        << summaryOf(window, res::IDC_REMOVABLE_SUMMARY);

    clickButton(window.control(res::IDC_PLAY));
    EXPECT_TRUE(yieldUntil([&] { return unit_.receivedLines().size() >= 3; }));
    EXPECT_EQ(takeLines(), (std::vector<std::string>{"1SL", "004SE", "PL"}));

    clickButton(window.control(res::IDC_TO_INTERNAL));
    EXPECT_TRUE(yieldUntil([&] { return internal->FindItem(-1, "VID00004.MPG") != wxNOT_FOUND; }))
        << "no new row in the Internal list";
    EXPECT_EQ(takeLines(), (std::vector<std::string>{"VID00004MPGCI"}));
    const long copied = internal->FindItem(-1, "VID00004.MPG");
    ASSERT_NE(copied, wxNOT_FOUND);
    EXPECT_EQ(wxui::fromWx(internal->GetItemText(copied, 1)), "00:00:10");
    EXPECT_EQ(wxui::fromWx(internal->GetItemText(copied, 2)), "1,764KB");
    // The list is left in descending clip-number order until it is listed again.
    EXPECT_EQ(names(internal), (std::vector<std::string>{"VID00027.MPG", "VID00012.MPG", "SND00005.MP3", "VID00004.MPG",
                                                         "VID00003.MPG", "COMMAND1.BAT", "README.TXT"}));
    exitWindow(window);
  });
  EXPECT_EQ(result, platform::IDCANCEL);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new wxApp());
  if (!wxEntryStart(argc, argv)) {
    std::cerr << "test_wx_explorer: no display\n";
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  wxEntryCleanup();
  return result;
}
