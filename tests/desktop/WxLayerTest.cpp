// The wx layer on real widgets (run under a virtual X server): the list view's contract as the
// logic relies on it, the templates as built dialogs, the progress window's stepping, the ID
// mapping and the text conversion.
#include <gtest/gtest.h>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/init.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>

#include <climits>
#include <cstdint>
#include <iostream>
#include <memory>
#include <vector>

#include "platform/wx/Popups.h"
#include "platform/wx/TemplateDialog.h"
#include "platform/wx/Text.h"
#include "platform/wx/WxViews.h"
#include "res/Resources.h"

namespace {

int ascending(std::int32_t first, std::int32_t second, std::int32_t) { return first - second; }
int descending(std::int32_t first, std::int32_t second, std::int32_t) { return second - first; }

class ListViewTest : public ::testing::Test {
 protected:
  ListViewTest()
      : frame_(new wxFrame(nullptr, wxID_ANY, "list")),
        list_(new wxListCtrl(frame_, wxID_ANY, wxDefaultPosition, wxSize(300, 200),
                             wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_EDIT_LABELS)),
        view_(list_) {
    view_.insertColumn(0, "Name", platform::ColumnFormat::Left, 112);
    view_.insertColumn(1, "Length", platform::ColumnFormat::Left, 67);
    view_.insertColumn(2, "Size", platform::ColumnFormat::Right, 67);
  }
  ~ListViewTest() override { delete frame_; }

  void addRows(std::initializer_list<std::pair<const char*, std::int32_t>> rows) {
    for (const auto& [label, key] : rows) {
      const int row = view_.insertRow(view_.rowCount(), label, 0);
      view_.setItemData(row, key);
    }
  }
  std::string labels() const {
    std::string all;
    for (int row = 0; row < view_.rowCount(); ++row) all += view_.cell(row, 0) + " ";
    return all;
  }

  wxFrame* frame_;
  wxListCtrl* list_;
  wxui::WxListView view_;
};

TEST_F(ListViewTest, SortOrdersByKeyAndKeepsTheSelectedRowAmongEqualKeys) {
  addRows({{"A", 5}, {"B", 7}, {"C", 5}, {"D", -1}});
  view_.select(2);  // C shares its key with A
  view_.sort(ascending, 2);
  EXPECT_EQ(view_.cell(0, 0), "D");
  EXPECT_EQ(view_.cell(3, 0), "B");
  ASSERT_GE(view_.firstSelected(), 0);
  EXPECT_EQ(view_.cell(view_.firstSelected(), 0), "C");
  for (int row = 0; row < view_.rowCount(); ++row) {
    EXPECT_EQ(view_.isSelected(row), view_.cell(row, 0) == "C") << row;
  }

  view_.sort(descending, 1);
  EXPECT_EQ(labels().substr(0, 2), "B ");
  EXPECT_EQ(view_.cell(3, 0), "D");
  EXPECT_EQ(view_.cell(view_.firstSelected(), 0), "C");
  EXPECT_EQ(view_.itemData(0), 7);
  EXPECT_EQ(view_.itemData(3), -1);
}

TEST_F(ListViewTest, SortWithoutSelectionSelectsNothing) {
  addRows({{"X", 3}, {"Y", 1}, {"Z", 2}});
  view_.sort(ascending, 2);
  EXPECT_EQ(labels(), "Y Z X ");
  EXPECT_EQ(view_.firstSelected(), -1);
}

TEST_F(ListViewTest, ItemDataKeepsItsSign) {
  addRows({{"low", -1}, {"high", INT32_MAX}, {"min", INT32_MIN}});
  EXPECT_EQ(view_.itemData(0), -1);
  EXPECT_EQ(view_.itemData(1), INT32_MAX);
  EXPECT_EQ(view_.itemData(2), INT32_MIN);
}

TEST_F(ListViewTest, FindLabelMatchesTheWholeLabelIgnoringCase) {
  addRows({{"VID00001.MPG", 1}, {"VID00012.MPG", 12}});
  EXPECT_EQ(view_.findLabel("vid00012.mpg"), 1);
  EXPECT_EQ(view_.findLabel("VID00001.MPG"), 0);
  EXPECT_EQ(view_.findLabel("VID0001"), -1);
  EXPECT_EQ(view_.findLabel("VID00001.MPGX"), -1);
}

TEST_F(ListViewTest, RowsCellsImagesAndSelection) {
  EXPECT_EQ(view_.insertRow(99, "last", 4), 0);  // clamped to the end
  EXPECT_EQ(view_.insertRow(-5, "first", 1), 0);
  view_.setCell(1, 2, "1,764KB");
  EXPECT_EQ(view_.cell(1, 2), "1,764KB");
  EXPECT_EQ(view_.cell(1, 1), "");
  EXPECT_EQ(view_.cell(7, 0), "");  // no such row
  EXPECT_EQ(view_.cell(0, 5), "");  // no such column
  EXPECT_EQ(view_.image(1), 4);
  view_.setImage(1, 2);
  EXPECT_EQ(view_.image(1), 2);

  view_.select(1);
  EXPECT_EQ(view_.firstSelected(), 1);
  view_.select(0);
  EXPECT_FALSE(view_.isSelected(1));
  view_.select(-1);
  EXPECT_EQ(view_.firstSelected(), -1);

  view_.deleteRow(0);
  EXPECT_EQ(labels(), "last ");
  view_.deleteAll();
  EXPECT_EQ(view_.rowCount(), 0);
}

TEST(TemplateDialogs, EveryControlExistsWithItsIdAndTheDialogHasAtLeastItsSize) {
  for (int id : {res::IDD_ABOUTBOX, res::IDD_EXPLORER, res::IDD_PROGRESS, res::IDD_PORT_SELECT, res::IDD_COMM_ERROR,
                 res::IDD_COMM_FAILED}) {
    const res::DialogTemplate& dialogTemplate = res::dialogTemplate(id);
    wxui::TemplateDialog dialog(nullptr, id, wxCAPTION);
    EXPECT_EQ(wxui::fromWx(dialog.GetTitle()), dialogTemplate.caption);
    // Wider only where a label's text is wider than its rectangle in this font.
    const wxSize size = dialog.ConvertDialogToPixels(wxSize(dialogTemplate.width, dialogTemplate.height));
    EXPECT_EQ(dialog.GetClientSize().y, size.y);
    EXPECT_GE(dialog.GetClientSize().x, size.x);
    for (const res::ControlTemplate& control : dialogTemplate.controls) {
      if (control.id == -1) continue;
      wxWindow* window = dialog.control(control.id);
      ASSERT_NE(window, nullptr) << id << "/" << control.id;
      EXPECT_EQ(window->GetId(), wxui::toWxId(control.id)) << id << "/" << control.id;
    }
  }
}

// Tab walks the dialog's children in order, stopping at those that take the focus from the
// keyboard: they must be the template's tab stops, in its order, and nothing else.
TEST(TemplateDialogs, TabStopsAreTheTemplatesOwnInItsOrder) {
  for (int id : {res::IDD_ABOUTBOX, res::IDD_EXPLORER, res::IDD_PROGRESS, res::IDD_PORT_SELECT, res::IDD_COMM_ERROR,
                 res::IDD_COMM_FAILED}) {
    std::vector<int> expected;
    for (const res::ControlTemplate& control : res::dialogTemplate(id).controls) {
      if (control.style & res::WS_TABSTOP) expected.push_back(wxui::toWxId(control.id));
    }
    wxui::TemplateDialog dialog(nullptr, id, wxCAPTION);
    std::vector<int> stops;
    for (const wxWindow* child : dialog.GetChildren()) {
      if (child->AcceptsFocusFromKeyboard()) stops.push_back(child->GetId());
    }
    EXPECT_EQ(stops, expected) << "dialog " << id;
  }
}

// Every text of every window fits its control in the desktop's font and DPI (the test runs at
// 96 DPI and at 1.5 times that): labels, buttons, check boxes and radio buttons.
TEST(TemplateDialogs, EveryTextFitsItsControl) {
  constexpr int kButtonMargin = 4;  // the least a button's frame needs on each side
  for (int id : {res::IDD_ABOUTBOX, res::IDD_EXPLORER, res::IDD_PROGRESS, res::IDD_PORT_SELECT, res::IDD_COMM_ERROR,
                 res::IDD_COMM_FAILED}) {
    wxui::TemplateDialog dialog(nullptr, id, wxCAPTION);
    for (const wxWindow* child : dialog.GetChildren()) {
      const wxString label = wxControl::RemoveMnemonics(child->GetLabel());
      if (label.empty() || wxDynamicCast(child, wxStaticBox) || wxDynamicCast(child, wxListCtrl)) continue;
      int needed = child->GetTextExtent(label).x;
      if (wxDynamicCast(child, wxButton)) needed += 2 * kButtonMargin;
      if (wxDynamicCast(child, wxCheckBox) || wxDynamicCast(child, wxRadioButton)) needed = child->GetBestSize().x;
      EXPECT_LE(needed, child->GetSize().x) << "dialog " << id << ": \"" << label << "\"";
    }
  }
}

// The lists' columns, given in pixels for the templates' font at 96 DPI, show the widest
// names, lengths and sizes whole beside the row's image.
TEST(TemplateDialogs, ColumnsShowTwelveCharacterNamesWhole) {
  constexpr int kImageAndGaps = 16 + 5 + 8;  // the image, the gap after it, the text's margins
  constexpr int kTextMargins = 8;
  wxui::TemplateDialog dialog(nullptr, res::IDD_EXPLORER, wxCAPTION);
  auto* list = wxDynamicCast(dialog.control(res::IDC_REMOVABLE_LIST), wxListCtrl);
  ASSERT_NE(list, nullptr);
  wxui::WxListView view(list);
  view.insertColumn(0, "Name", platform::ColumnFormat::Left, 112);
  view.insertColumn(1, "Length", platform::ColumnFormat::Left, 67);
  view.insertColumn(2, "Size", platform::ColumnFormat::Right, 67);
  const struct {
    int column;
    const char* text;
    int margins;
  } cells[] = {
      {0, "COMMAND2.BAT", kImageAndGaps}, {0, "SND00003.WAV", kImageAndGaps}, {0, "PLY00002.LST", kImageAndGaps},
      {0, "CLIPON~1.MPG", kImageAndGaps}, {0, "A-B 0000.MPG", kImageAndGaps}, {1, "23:59:59", kTextMargins},
      {1, "Length", kTextMargins},        {2, "1,048,576KB", kTextMargins},
  };
  for (const auto& cell : cells) {
    EXPECT_LE(list->GetTextExtent(cell.text).x + cell.margins, list->GetColumnWidth(cell.column)) << cell.text;
  }
}

TEST(TemplateDialogs, CommandIdsMapIntoTheRangeWxAcceptsAndBack) {
  for (int command : {res::ID_DELETE_FILE, res::ID_RENAME_FILE, res::ID_REFRESH, res::ID_FORMAT_DRIVE, res::ID_APP_EXIT,
                      res::IDOK, res::IDCANCEL, res::IDC_PLAY, res::IDC_REMOVABLE_LIST}) {
    const int wxId = wxui::toWxId(command);
    EXPECT_GT(wxId, 0) << command;
    EXPECT_LT(wxId, 32767) << command;
    EXPECT_EQ(wxui::fromWxId(wxId), command);
  }
  EXPECT_NE(wxui::toWxId(res::ID_DELETE_FILE), wxui::toWxId(res::ID_REFRESH));
  EXPECT_EQ(wxui::fromWxId(wxID_NONE), 0);  // a dismissed menu
  EXPECT_EQ(wxui::toDialogResult(wxID_OK), res::IDOK);
  EXPECT_EQ(wxui::toDialogResult(wxID_CANCEL), res::IDCANCEL);
}

TEST(ProgressWindow, StepsReturnThePreviousPositionAndWrapPastTheUpperBound) {
  auto window = wxui::createProgressWindow(nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->percentText(), " 0 %");
  window->setRange(0, 4);
  window->setStep(1);
  window->setPos(0);
  int previous[6];
  for (int& p : previous) p = window->stepIt();
  EXPECT_EQ(previous[0], 0);
  EXPECT_EQ(previous[3], 3);
  EXPECT_EQ(previous[4], 4);
  EXPECT_EQ(previous[5], 1);  // the fifth step started over from the beginning
  window->setPercentText("25%");
  EXPECT_EQ(window->percentText(), "25%");
}

TEST(Text, EveryByteSurvivesTheRoundTripAndForeignCharactersBecomeQuestionMarks) {
  std::string bytes;
  for (int c = 1; c < 256; ++c) bytes.push_back(static_cast<char>(c));
  EXPECT_EQ(wxui::fromWx(wxui::toWx(bytes)), bytes);
  EXPECT_EQ(wxui::fromWx(wxString::FromUTF8("A\xE2\x82\xAC"
                                            "B")),
            "A?B");
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  wxApp::SetInstance(new wxApp());
  if (!wxEntryStart(argc, argv)) {
    std::cerr << "test_wx: no display\n";
    return 1;
  }
  const int result = RUN_ALL_TESTS();
  wxEntryCleanup();
  return result;
}
