#include "platform/win32/ExplorerWindow.h"

#include "platform/win32/DialogTemplate.h"
#include "platform/win32/Win32Desktop.h"
#include "res/Resources.h"
#include "ui/ExplorerDialog.h"

namespace win32ui {
namespace {

constexpr DWORD kFrame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_CENTER;
// Posted to run a handler once the list has finished with the message that asked for it.
constexpr UINT WM_APP_DOUBLE_CLICK = WM_APP + 1;
constexpr UINT WM_APP_END_EDIT = WM_APP + 2;

HICON mainIcon(int size) {
  return static_cast<HICON>(
      LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(res::IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
}

}  // namespace

ExplorerWindow::ExplorerWindow(ExplorerDialog& logic, const Win32Desktop& desktop) : logic_(logic), desktop_(desktop) {}

ExplorerWindow::~ExplorerWindow() {
  logic_.attach(ExplorerControls{});
  if (window_) DestroyWindow(window_);
}

int ExplorerWindow::run() {
  const DialogTemplateData data(res::IDD_EXPLORER, kFrame);
  window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), data.get(), nullptr, procedure,
                                       reinterpret_cast<LPARAM>(this));
  if (!window_) return IDCANCEL;
  const auto item = [this](int id) { return GetDlgItem(window_, id); };
  windowView_ = Win32Window(window_);
  removableList_ = Win32ListView(item(res::IDC_REMOVABLE_LIST));
  internalList_ = Win32ListView(item(res::IDC_INTERNAL_LIST));
  removableSummary_ = Win32Control(item(res::IDC_REMOVABLE_SUMMARY));
  internalSummary_ = Win32Control(item(res::IDC_INTERNAL_SUMMARY));
  toInternalButton_ = Win32Control(item(res::IDC_TO_INTERNAL));
  toRemovableButton_ = Win32Control(item(res::IDC_TO_REMOVABLE));
  loopClipCheck_ = Win32Control(item(res::IDC_LOOP_CLIP));
  for (HWND list : {removableList_.handle(), internalList_.handle()}) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  }
  SendMessageA(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(mainIcon(GetSystemMetrics(SM_CXSMICON))));
  SendMessageA(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(mainIcon(GetSystemMetrics(SM_CXICON))));

  ExplorerControls controls;
  controls.window = &windowView_;
  controls.removableList = &removableList_;
  controls.internalList = &internalList_;
  controls.removableSummary = &removableSummary_;
  controls.internalSummary = &internalSummary_;
  controls.toInternalButton = &toInternalButton_;
  controls.toRemovableButton = &toRemovableButton_;
  controls.loopClipCheck = &loopClipCheck_;
  logic_.attach(controls);
  // The drives are read while the window is hidden (the splash stands meanwhile).
  logic_.onInitDialog();
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
  // The first tab stop, the Removable list, gets the focus: its handler makes that drive
  // current, arms the menu and sets the arrows.
  removableList_.setFocus();

  running_ = true;
  MSG message;
  while (running_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (!preTranslate(message)) dispatch(message);
  }
  return result_;
}

INT_PTR CALLBACK ExplorerWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
    fitLabels(window);
    return FALSE;  // the focus is set once the drives are read
  }
  auto* self = reinterpret_cast<ExplorerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  return self ? self->onMessage(message, wParam, lParam) : FALSE;
}

INT_PTR ExplorerWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED || lParam == 0) onCommand(LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      SetWindowLongPtrA(window_, DWLP_MSGRESULT, onNotify(*reinterpret_cast<const NMHDR*>(lParam)));
      return TRUE;
    case WM_CONTEXTMENU:
      // From the keyboard (the menu key) the message has no position: it goes the way of a
      // queued context-menu message, which opens the menu near the client area's corner.
      if (lParam == -1) {
        logic_.preTranslateMessage(QueuedMessage{QueuedMessage::ContextMenu, 0});
      } else {
        logic_.onContextMenu(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      }
      return TRUE;
    case WM_APP_DOUBLE_CLICK: logic_.onListDoubleClick(static_cast<DriveKind>(wParam)); return TRUE;
    case WM_APP_END_EDIT: logic_.onEndLabelEdit(static_cast<DriveKind>(wParam), lParam != 0); return TRUE;
    case WM_CLOSE: end(IDCANCEL); return TRUE;
    case WM_SETCURSOR:
      if (!desktop_.holdWaitCursor()) return FALSE;
      SetWindowLongPtrA(window_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    default: return FALSE;
  }
}

// Buttons, the check box and menu commands go to the logic's one switch. "E&xit" ends the
// window as cancelled, as closing it does; Enter and Escape arrive as OK and Cancel.
void ExplorerWindow::onCommand(int id) {
  if (logic_.onCommand(id)) return;
  if (id == res::ID_APP_EXIT || id == IDCANCEL) end(IDCANCEL);
  if (id == IDOK) end(IDOK);
}

// The message table: the lists' notifications.
LRESULT ExplorerWindow::onNotify(const NMHDR& header) {
  if (header.idFrom != res::IDC_REMOVABLE_LIST && header.idFrom != res::IDC_INTERNAL_LIST) return 0;
  const DriveKind drive = driveOf(header.idFrom);
  switch (header.code) {
    case NM_SETFOCUS:
      if (drive == Internal) {
        logic_.onInternalListFocus();
      } else {
        logic_.onRemovableListFocus();
      }
      return 0;
    case NM_CLICK:
      if (drive == Removable) logic_.onRemovableListClick();
      return 0;
    case NM_DBLCLK: PostMessageA(window_, WM_APP_DOUBLE_CLICK, drive, 0); return 0;
    case NM_RCLICK: logic_.onListRightClick(); return 0;
    case LVN_COLUMNCLICK: logic_.onColumnClick(drive, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem); return 0;
    case LVN_BEGINLABELEDITA:
      logic_.onBeginLabelEdit(drive);  // reads the old name from the edit control
      return FALSE;                    // the edit goes on
    case LVN_ENDLABELEDITA: {
      // The list never writes the label itself: the logic writes the row once the unit has
      // renamed the clip, after the edit control is gone, since it may show a message.
      const LVITEMA& item = reinterpret_cast<const NMLVDISPINFOA&>(header).item;
      const bool cancelled = item.pszText == nullptr;
      if (!cancelled) listOf(drive).rememberEditText(item.pszText);
      PostMessageA(window_, WM_APP_END_EDIT, drive, cancelled);
      return FALSE;
    }
    default: return 0;
  }
}

// Keys before any control sees them: F2, F5 and Delete on a list, and Shift+F10, go to the
// logic first.
bool ExplorerWindow::preTranslate(const MSG& message) {
  if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
  if (message.wParam != VK_F2 && message.wParam != VK_F5 && message.wParam != VK_F10 && message.wParam != VK_DELETE) {
    return false;
  }
  const auto type = message.message == WM_KEYDOWN ? QueuedMessage::KeyDown : QueuedMessage::SysKeyDown;
  const bool onList = message.hwnd == removableList_.handle() || message.hwnd == internalList_.handle();
  const int controlId = onList ? GetDlgCtrlID(message.hwnd) : 0;
  return logic_.preTranslateMessage(QueuedMessage{type, static_cast<int>(message.wParam), controlId});
}

void ExplorerWindow::end(int result) {
  result_ = result;
  running_ = false;
}

DriveKind ExplorerWindow::driveOf(UINT_PTR controlId) const {
  return controlId == res::IDC_INTERNAL_LIST ? Internal : Removable;
}

}  // namespace win32ui
