// The program's resource set: the six dialog templates, the two context menus and the string
// table. Rectangles are in dialog units; controls are listed in tab order.
#include "res/Resources.h"

namespace res {
namespace {

constexpr std::uint32_t kListStyle = WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHAREIMAGELISTS |
                                     LVS_NOLABELWRAP | LVS_AUTOARRANGE | LVS_EDITLABELS;
constexpr std::uint32_t kLabel = SS_LEFT | WS_GROUP;
constexpr std::string_view kDialogFont = "MS Sans Serif";
constexpr int kDialogFontSize = 8;

DialogTemplate aboutBox() {
  return {IDD_ABOUTBOX,
          "About Dorvik Explorer",
          211,
          125,
          kDialogFont,
          kDialogFontSize,
          {
              {-1, ControlKind::Bitmap, "", {18, 7, 44, 34}, SS_BITMAP, 0, IDB_LOGO},
              {-1, ControlKind::Static, "Dorvik Explorer", {67, 19, 100, 8}, kLabel | SS_NOPREFIX},
              {-1, ControlKind::Static, "Version 1(Build 1003)", {67, 28, 119, 8}, kLabel},
              {IDOK, ControlKind::PushButton, "Close", {172, 7, 32, 14}, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP},
              {-1, ControlKind::Static, "Copyright (C) Dorvik Systems", {17, 78, 121, 8}, kLabel},
              {-1, ControlKind::Static, "All rights reserved", {17, 89, 76, 9}, kLabel},
              {-1, ControlKind::Static, "Clip manager for Dorvik video playback units", {17, 103, 187, 8}, kLabel},
              {IDC_REVISION, ControlKind::Static, "", {23, 57, 89, 14}, kLabel, WS_EX_CLIENTEDGE},
              {-1, ControlKind::Static, "Product Firmware Revision:", {17, 44, 87, 8}, kLabel},
              {IDC_GET_REVISION, ControlKind::PushButton, "Get Firmware Rev.", {115, 57, 65, 14}, WS_TABSTOP},
          }};
}

DialogTemplate explorer() {
  return {
      IDD_EXPLORER,
      "Dorvik Explorer",
      377,
      162,
      kDialogFont,
      kDialogFontSize,
      {
          {IDC_REMOVABLE_LIST,
           ControlKind::ListView,
           "List1",
           {13, 19, 122, 119},
           kListStyle,
           WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT | WS_EX_ACCEPTFILES},
          {IDC_TO_INTERNAL, ControlKind::PushButton, "-->", {146, 44, 21, 14}, WS_TABSTOP},
          {IDC_TO_REMOVABLE, ControlKind::PushButton, "<--", {146, 66, 21, 14}, WS_TABSTOP},
          {IDC_LOOP_CLIP, ControlKind::CheckBox, "Loop Clip", {318, 74, 45, 10}, BS_AUTOCHECKBOX | WS_TABSTOP},
          {IDC_PLAY, ControlKind::PushButton, "&Play ", {318, 18, 53, 15}, WS_TABSTOP},
          {IDC_STILL, ControlKind::PushButton, "S&till", {318, 36, 53, 15}, WS_TABSTOP},
          {IDC_STOP, ControlKind::PushButton, "&Stop", {318, 54, 53, 15}, WS_TABSTOP},
          {ID_APP_EXIT, ControlKind::PushButton, "E&xit", {318, 122, 53, 15}, WS_TABSTOP},
          {IDC_ABOUT, ControlKind::PushButton, "&About", {317, 104, 54, 15}, WS_TABSTOP},
          {IDC_INTERNAL_LIST,
           ControlKind::ListView,
           "List1",
           {178, 19, 122, 119},
           kListStyle,
           WS_EX_CLIENTEDGE | WS_EX_ACCEPTFILES},
          {-1, ControlKind::GroupBox, "Removable Drive", {7, 7, 300, 148}, BS_GROUPBOX},
          {IDC_INTERNAL_CAPTION, ControlKind::Static, " Internal Drive ", {177, 7, 46, 8}, kLabel, WS_EX_TRANSPARENT},
          {IDC_REMOVABLE_SUMMARY, ControlKind::Static, "", {13, 140, 121, 8}, kLabel},
          {IDC_INTERNAL_SUMMARY, ControlKind::Static, "", {178, 140, 121, 8}, kLabel},
      }};
}

DialogTemplate progress() {
  return {IDD_PROGRESS,
          "",
          203,
          42,
          kDialogFont,
          kDialogFontSize,
          {
              {IDC_PROGRESS_BAR, ControlKind::ProgressBar, "", {17, 16, 169, 13}, PBS_BORDERED},
              {IDC_PERCENT, ControlKind::Static, " 0 %", {93, 7, 18, 8}, SS_LEFT},
          }};
}

DialogTemplate portSelect() {
  constexpr std::uint32_t kRadio = BS_AUTORADIOBUTTON | BS_NOTIFY;
  return {IDD_PORT_SELECT,
          "Please Choose A COM Port",
          146,
          57,
          kDialogFont,
          kDialogFontSize,
          {
              {IDOK, ControlKind::PushButton, "OK", {88, 7, 50, 14}, BS_DEFPUSHBUTTON | WS_TABSTOP},
              {IDCANCEL, ControlKind::PushButton, "Exit", {88, 26, 50, 14}, WS_TABSTOP},
              {IDC_COM1, ControlKind::RadioButton, "COM 1", {36, 7, 38, 10}, kRadio},
              {IDC_COM2, ControlKind::RadioButton, "COM 2", {36, 18, 43, 10}, kRadio},
              {IDC_COM3, ControlKind::RadioButton, "COM 3", {36, 29, 38, 10}, kRadio},
              {IDC_COM4, ControlKind::RadioButton, "COM 4", {36, 40, 38, 10}, kRadio},
              {-1, ControlKind::Icon, "", {5, 7, 18, 20}, SS_ICON, 0, IDR_MAINFRAME},
          }};
}

// The two communication dialogs share the cause lines and differ in their first and last
// lines and their buttons.
DialogTemplate communication(int id, std::string_view caption, std::vector<ControlTemplate> buttons,
                             std::string_view firstLine, std::string_view lastLine) {
  DialogTemplate dialog{id, caption, 214, 111, kDialogFont, kDialogFontSize, {buttons.front()}};
  const ControlTemplate lines[] = {
      {-1, ControlKind::Static, firstLine, {7, 7, 200, 8}},
      {-1, ControlKind::Static, "your unit .  This could be caused by:", {7, 16, 200, 8}},
      {-1, ControlKind::Static, "- Bad Serial Connection", {37, 30, 75, 8}},
      {-1, ControlKind::Static, "- Another Program using the specified COM port", {37, 40, 150, 8}},
      {-1, ControlKind::Static, "- Serial Cable not connected", {37, 50, 90, 8}},
      {-1, ControlKind::Static, "- No power to the unit", {37, 60, 69, 8}},
      {-1, ControlKind::Static, lastLine, {7, 74, 200, 8}},
  };
  dialog.controls.insert(dialog.controls.end(), std::begin(lines), std::end(lines));
  dialog.controls.insert(dialog.controls.end(), buttons.begin() + 1, buttons.end());
  return dialog;
}

DialogTemplate commError() {
  return communication(IDD_COMM_ERROR, "Communications Error!",
                       {{IDOK, ControlKind::PushButton, "&Retry", {49, 90, 50, 14}, WS_TABSTOP},
                        {IDCANCEL, ControlKind::PushButton, "&Cancel", {121, 90, 50, 14}, WS_TABSTOP}},
                       "A Communications Error has occured while communicating with ",
                       "Please check the connection and try again");
}

DialogTemplate commFailed() {
  return communication(IDD_COMM_FAILED, "Communications Failed!",
                       {{IDOK, ControlKind::PushButton, "&Continue", {83, 90, 50, 14}, WS_TABSTOP}},
                       "A Communications Failure has occured while communicating ",
                       "Please check the connection and retry the previous command");
}

std::vector<MenuItem> contextMenu(bool rowSelected) {
  return {
      {ID_RENAME_FILE, "Re&name File", !rowSelected},
      {ID_DELETE_FILE, "&Delete File", !rowSelected},
      {0, "", false},
      {ID_FORMAT_DRIVE, "&Format Drive", false},
      {ID_REFRESH, "&Refresh", false},
  };
}

}  // namespace

const ControlTemplate* DialogTemplate::control(int controlId) const {
  for (const ControlTemplate& candidate : controls) {
    if (candidate.id == controlId) return &candidate;
  }
  return nullptr;
}

const DialogTemplate& dialogTemplate(int id) {
  static const DialogTemplate templates[] = {aboutBox(),   explorer(),  progress(),
                                             portSelect(), commError(), commFailed()};
  static const DialogTemplate none{0, "", 0, 0, kDialogFont, kDialogFontSize, {}};
  for (const DialogTemplate& candidate : templates) {
    if (candidate.id == id) return candidate;
  }
  return none;
}

const std::vector<MenuItem>& popupMenu(int id) {
  static const std::vector<MenuItem> withSelection = contextMenu(true);
  static const std::vector<MenuItem> withoutSelection = contextMenu(false);
  return id == IDR_MENU_SELECTION ? withSelection : withoutSelection;
}

std::string_view loadString(int id) {
  switch (id) {
    case IDS_UPLOAD_INTERNAL: return "Uploading Internal Drive Directory Information....";
    case IDS_UPLOAD_REMOVABLE: return "Uploading Removable Drive Directory Information....";
    default: return {};
  }
}

}  // namespace res
