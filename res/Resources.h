// The program's resource set as data: dialog templates, menus, strings, and the IDs of icons
// and bitmaps. Both desktop front-ends (wx, Win32) build their windows from these templates;
// the logic and its tests read the same texts, so a caption or message exists in exactly one
// place.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace res {

// Window styles, as the dialog templates write them (Win32 values).
enum Style : std::uint32_t {
  WS_GROUP = 0x00020000,
  WS_TABSTOP = 0x00010000,
  WS_BORDER = 0x00800000,
  BS_DEFPUSHBUTTON = 0x0001,
  BS_AUTOCHECKBOX = 0x0003,
  BS_AUTORADIOBUTTON = 0x0009,
  BS_GROUPBOX = 0x0007,
  BS_NOTIFY = 0x4000,
  SS_LEFT = 0x0000,
  SS_ICON = 0x0003,
  SS_BITMAP = 0x000E,
  SS_NOPREFIX = 0x0080,
  LVS_REPORT = 0x0001,
  LVS_SINGLESEL = 0x0004,
  LVS_SHAREIMAGELISTS = 0x0040,
  LVS_NOLABELWRAP = 0x0080,
  LVS_AUTOARRANGE = 0x0100,
  LVS_EDITLABELS = 0x0200,
  PBS_BORDERED = 0x00800000,  // WS_BORDER on the progress bar
};

enum ExStyle : std::uint32_t {
  WS_EX_TRANSPARENT = 0x00000020,
  WS_EX_ACCEPTFILES = 0x00000010,
  WS_EX_CLIENTEDGE = 0x00000200,
};

enum class ControlKind { PushButton, CheckBox, RadioButton, GroupBox, Static, Icon, Bitmap, ListView, ProgressBar };

struct Rect {
  int x, y, width, height;  // dialog units
};

struct ControlTemplate {
  int id;  // -1 (or 65535) for controls the code never addresses
  ControlKind kind;
  std::string_view text;  // for Icon and Bitmap: empty; see resourceId
  Rect rect;
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  int resourceId = 0;  // icon or bitmap shown by an Icon or Bitmap control
};

struct DialogTemplate {
  int id;
  std::string_view caption;
  int width, height;  // dialog units
  std::string_view fontName;
  int fontSize;
  std::vector<ControlTemplate> controls;  // in tab order

  const ControlTemplate* control(int controlId) const;
};

// Pixels across of four dialog units in the templates' font at 96 DPI. Widths given in
// pixels for that font (the lists' columns) scale by the window's own dialog units over this.
constexpr int kTemplateBaseUnitX = 6;

// Dialog template IDs.
constexpr int IDD_ABOUTBOX = 100;
constexpr int IDD_EXPLORER = 102;
constexpr int IDD_PROGRESS = 112;
constexpr int IDD_PORT_SELECT = 143;
constexpr int IDD_COMM_ERROR = 144;
constexpr int IDD_COMM_FAILED = 149;

// One of the six IDs above; an empty template (ID 0, no controls) for any other.
const DialogTemplate& dialogTemplate(int id);

// Menus 111 (a row selected) and 112 (none: Rename and Delete grayed).
constexpr int IDR_MENU_SELECTION = 111;
constexpr int IDR_MENU_NO_SELECTION = 112;

struct MenuItem {
  int command;  // 0 for a separator
  std::string_view text;
  bool grayed;
};

const std::vector<MenuItem>& popupMenu(int id);  // the first sub-menu of menu 111 or 112

// String table.
constexpr int IDS_UPLOAD_INTERNAL = 113;
constexpr int IDS_UPLOAD_REMOVABLE = 114;
std::string_view loadString(int id);  // empty for an unknown ID

// Icons and bitmaps (artwork in res/art/).
constexpr int IDR_MAINFRAME = 128;  // main icon
constexpr int IDI_VIDEO = 138;      // film strip
constexpr int IDI_SOUND = 139;      // loudspeaker
constexpr int IDI_PLAYLIST = 164;   // note pad with a film frame
constexpr int IDI_COMMAND = 192;    // window with a gear
constexpr int IDI_OTHER = 163;      // red no-entry sign
constexpr int IDB_LOGO = 147;       // about box logo, 66 x 55
constexpr int IDB_SPLASH = 189;     // splash picture, 498 x 130

// Command identifiers of the menus and buttons.
constexpr int ID_DELETE_FILE = 32771;
constexpr int ID_RENAME_FILE = 32774;
constexpr int ID_REFRESH = 32777;
constexpr int ID_FORMAT_DRIVE = 32778;
constexpr int ID_APP_EXIT = 57665;

// Control IDs.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDC_ABOUT = 101;
constexpr int IDC_REMOVABLE_LIST = 1000;
constexpr int IDC_INTERNAL_LIST = 1001;
constexpr int IDC_PROGRESS_BAR = 1003;
constexpr int IDC_PERCENT = 1004;
constexpr int IDC_COM1 = 1007;
constexpr int IDC_COM2 = 1008;
constexpr int IDC_COM3 = 1009;
constexpr int IDC_COM4 = 1010;
constexpr int IDC_TO_INTERNAL = 1013;
constexpr int IDC_TO_REMOVABLE = 1014;
constexpr int IDC_LOOP_CLIP = 1026;
constexpr int IDC_INTERNAL_CAPTION = 1027;
constexpr int IDC_REVISION = 1028;
constexpr int IDC_GET_REVISION = 1029;
constexpr int IDC_PLAY = 1030;
constexpr int IDC_STILL = 1031;
constexpr int IDC_STOP = 1032;
constexpr int IDC_REMOVABLE_SUMMARY = 1033;
constexpr int IDC_INTERNAL_SUMMARY = 1034;

}  // namespace res
