#include <gtest/gtest.h>

#include <set>
#include <string>

#include "res/Resources.h"

namespace {

constexpr int kTemplateIds[] = {res::IDD_ABOUTBOX,    res::IDD_EXPLORER,   res::IDD_PROGRESS,
                                res::IDD_PORT_SELECT, res::IDD_COMM_ERROR, res::IDD_COMM_FAILED};

std::string textOf(int templateId, std::size_t index) {
  const auto& controls = res::dialogTemplate(templateId).controls;
  return index < controls.size() ? std::string(controls[index].text) : std::string("<missing>");
}

TEST(DialogTemplates, EachIdFindsItsOwnTemplate) {
  for (int id : kTemplateIds) {
    const res::DialogTemplate& dialog = res::dialogTemplate(id);
    EXPECT_EQ(dialog.id, id);
    EXPECT_FALSE(dialog.controls.empty()) << id;
    EXPECT_EQ(dialog.fontName, "MS Sans Serif") << id;
    EXPECT_EQ(dialog.fontSize, 8) << id;
  }
  EXPECT_EQ(res::dialogTemplate(101).id, 0);
  EXPECT_TRUE(res::dialogTemplate(101).controls.empty());
}

TEST(DialogTemplates, ControlIdsAreUniqueAndInsideTheDialog) {
  for (int id : kTemplateIds) {
    const res::DialogTemplate& dialog = res::dialogTemplate(id);
    std::set<int> seen;
    for (const res::ControlTemplate& control : dialog.controls) {
      if (control.id != -1) {
        EXPECT_TRUE(seen.insert(control.id).second) << "template " << id << " control " << control.id;
      }
      const res::Rect& r = control.rect;
      EXPECT_GT(r.width, 0) << id << " " << control.text;
      EXPECT_GT(r.height, 0) << id << " " << control.text;
      EXPECT_LE(r.x + r.width, dialog.width) << id << " " << control.text;
      EXPECT_LE(r.y + r.height, dialog.height) << id << " " << control.text;
    }
  }
}

TEST(DialogTemplates, SizesAndCaptions) {
  struct Expected {
    int id;
    const char* caption;
    int width, height;
  };
  const Expected table[] = {
      {res::IDD_ABOUTBOX, "About Dorvik Explorer", 211, 125},
      {res::IDD_EXPLORER, "Dorvik Explorer", 377, 162},
      {res::IDD_PROGRESS, "", 203, 42},
      {res::IDD_PORT_SELECT, "Please Choose A COM Port", 146, 57},
      {res::IDD_COMM_ERROR, "Communications Error!", 214, 111},
      {res::IDD_COMM_FAILED, "Communications Failed!", 214, 111},
  };
  for (const Expected& e : table) {
    const res::DialogTemplate& dialog = res::dialogTemplate(e.id);
    EXPECT_EQ(dialog.caption, e.caption) << e.id;
    EXPECT_EQ(dialog.width, e.width) << e.id;
    EXPECT_EQ(dialog.height, e.height) << e.id;
  }
}

// The communication dialogs' texts are shown to the user exactly as they stand, trailing
// blanks and spelling included.
TEST(DialogTemplates, CommunicationDialogTextsInTabOrder) {
  const char* const causes[] = {"your unit .  This could be caused by:", "- Bad Serial Connection",
                                "- Another Program using the specified COM port", "- Serial Cable not connected",
                                "- No power to the unit"};
  struct Expected {
    int id;
    const char* first;
    const char* last;
    std::vector<std::string> buttons;
  };
  const Expected table[] = {
      {res::IDD_COMM_ERROR,
       "A Communications Error has occured while communicating with ",
       "Please check the connection and try again",
       {"&Retry", "&Cancel"}},
      {res::IDD_COMM_FAILED,
       "A Communications Failure has occured while communicating ",
       "Please check the connection and retry the previous command",
       {"&Continue"}},
  };
  for (const Expected& e : table) {
    const auto& controls = res::dialogTemplate(e.id).controls;
    ASSERT_EQ(controls.size(), 7 + e.buttons.size()) << e.id;
    EXPECT_EQ(controls[0].id, res::IDOK);
    EXPECT_EQ(textOf(e.id, 0), e.buttons[0]);
    EXPECT_EQ(textOf(e.id, 1), e.first);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(textOf(e.id, 2 + i), causes[i]) << e.id;
    EXPECT_EQ(textOf(e.id, 7), e.last);
    if (e.buttons.size() == 2) {
      EXPECT_EQ(controls[8].id, res::IDCANCEL);
      EXPECT_EQ(textOf(e.id, 8), e.buttons[1]);
    }
  }
  EXPECT_EQ(res::dialogTemplate(res::IDD_COMM_FAILED).control(res::IDOK)->rect.x, 83);
  EXPECT_EQ(res::dialogTemplate(res::IDD_COMM_ERROR).control(res::IDCANCEL)->rect.x, 121);
}

TEST(DialogTemplates, PortChoiceOffersFourPortsWithOkAsDefault) {
  const res::DialogTemplate& dialog = res::dialogTemplate(res::IDD_PORT_SELECT);
  const char* const labels[] = {"COM 1", "COM 2", "COM 3", "COM 4"};
  for (int i = 0; i < 4; ++i) {
    const res::ControlTemplate* radio = dialog.control(res::IDC_COM1 + i);
    ASSERT_NE(radio, nullptr);
    EXPECT_EQ(radio->kind, res::ControlKind::RadioButton);
    EXPECT_EQ(radio->text, labels[i]);
    EXPECT_EQ(radio->style & (res::WS_TABSTOP | res::WS_GROUP), 0u);
  }
  EXPECT_EQ(dialog.control(res::IDOK)->text, "OK");
  EXPECT_TRUE(dialog.control(res::IDOK)->style & res::BS_DEFPUSHBUTTON);
  EXPECT_EQ(dialog.control(res::IDCANCEL)->text, "Exit");
  EXPECT_EQ(dialog.controls.back().kind, res::ControlKind::Icon);
  EXPECT_EQ(dialog.controls.back().resourceId, res::IDR_MAINFRAME);
}

TEST(DialogTemplates, ExplorerControlsInTabOrder) {
  struct Expected {
    int id;
    res::ControlKind kind;
    const char* text;
    res::Rect rect;
  };
  using K = res::ControlKind;
  const Expected table[] = {
      {1000, K::ListView, "List1", {13, 19, 122, 119}},
      {1013, K::PushButton, "-->", {146, 44, 21, 14}},
      {1014, K::PushButton, "<--", {146, 66, 21, 14}},
      {1026, K::CheckBox, "Loop Clip", {318, 74, 45, 10}},
      {1030, K::PushButton, "&Play ", {318, 18, 53, 15}},
      {1031, K::PushButton, "S&till", {318, 36, 53, 15}},
      {1032, K::PushButton, "&Stop", {318, 54, 53, 15}},
      {57665, K::PushButton, "E&xit", {318, 122, 53, 15}},
      {101, K::PushButton, "&About", {317, 104, 54, 15}},
      {1001, K::ListView, "List1", {178, 19, 122, 119}},
      {-1, K::GroupBox, "Removable Drive", {7, 7, 300, 148}},
      {1027, K::Static, " Internal Drive ", {177, 7, 46, 8}},
      {1033, K::Static, "", {13, 140, 121, 8}},
      {1034, K::Static, "", {178, 140, 121, 8}},
  };
  const auto& controls = res::dialogTemplate(res::IDD_EXPLORER).controls;
  ASSERT_EQ(controls.size(), std::size(table));
  for (std::size_t i = 0; i < std::size(table); ++i) {
    const Expected& e = table[i];
    EXPECT_EQ(controls[i].id, e.id) << i;
    EXPECT_EQ(controls[i].kind, e.kind) << i;
    EXPECT_EQ(controls[i].text, e.text) << i;
    EXPECT_EQ(controls[i].rect.x, e.rect.x) << i;
    EXPECT_EQ(controls[i].rect.y, e.rect.y) << i;
    EXPECT_EQ(controls[i].rect.width, e.rect.width) << i;
    EXPECT_EQ(controls[i].rect.height, e.rect.height) << i;
  }
  for (int list : {res::IDC_REMOVABLE_LIST, res::IDC_INTERNAL_LIST}) {
    const std::uint32_t style = res::dialogTemplate(res::IDD_EXPLORER).control(list)->style;
    EXPECT_TRUE(style & res::LVS_EDITLABELS);
    EXPECT_TRUE(style & res::LVS_SINGLESEL);
    EXPECT_TRUE(style & res::LVS_REPORT);
  }
}

TEST(DialogTemplates, ProgressStartsAtZeroPercentAndAboutFieldStartsEmpty) {
  const res::DialogTemplate& progress = res::dialogTemplate(res::IDD_PROGRESS);
  EXPECT_EQ(progress.control(res::IDC_PERCENT)->text, " 0 %");
  EXPECT_EQ(progress.control(res::IDC_PROGRESS_BAR)->kind, res::ControlKind::ProgressBar);

  const res::DialogTemplate& about = res::dialogTemplate(res::IDD_ABOUTBOX);
  EXPECT_EQ(about.control(res::IDC_REVISION)->text, "");
  EXPECT_EQ(about.control(res::IDC_REVISION)->exStyle, res::WS_EX_CLIENTEDGE);
  EXPECT_EQ(about.control(res::IDC_GET_REVISION)->text, "Get Firmware Rev.");
  EXPECT_EQ(about.control(res::IDOK)->text, "Close");
  EXPECT_EQ(about.controls.front().resourceId, res::IDB_LOGO);
  EXPECT_EQ(about.control(12345), nullptr);
}

TEST(Menus, RenameAndDeleteGrayedOnlyWithoutSelection) {
  struct Expected {
    int command;
    const char* text;
  };
  const Expected items[] = {
      {32774, "Re&name File"}, {32771, "&Delete File"}, {0, ""}, {32778, "&Format Drive"}, {32777, "&Refresh"}};
  for (int menu : {res::IDR_MENU_SELECTION, res::IDR_MENU_NO_SELECTION}) {
    const auto& popup = res::popupMenu(menu);
    ASSERT_EQ(popup.size(), std::size(items));
    for (std::size_t i = 0; i < popup.size(); ++i) {
      EXPECT_EQ(popup[i].command, items[i].command) << menu << " " << i;
      EXPECT_EQ(popup[i].text, items[i].text) << menu << " " << i;
      const bool grayed = menu == res::IDR_MENU_NO_SELECTION && i < 2;
      EXPECT_EQ(popup[i].grayed, grayed) << menu << " " << i;
    }
  }
}

TEST(Strings, UploadCaptionsAndUnknownId) {
  EXPECT_EQ(res::loadString(113), "Uploading Internal Drive Directory Information....");
  EXPECT_EQ(res::loadString(114), "Uploading Removable Drive Directory Information....");
  EXPECT_TRUE(res::loadString(115).empty());
  EXPECT_TRUE(res::loadString(0).empty());
}

}  // namespace
