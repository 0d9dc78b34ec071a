#include "platform/wx/ExplorerWindow.h"

#include <utility>

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include "platform/wx/Art.h"
#include "platform/wx/Text.h"
#include "res/Resources.h"
#include "ui/ExplorerDialog.h"

namespace wxui {
namespace {

constexpr long kFrame = wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxMINIMIZE_BOX;

wxListCtrl* listControl(const TemplateDialog& dialog, int id) { return wxDynamicCast(dialog.control(id), wxListCtrl); }

// The keys the logic sees before any control, as the virtual keys they are on Windows.
int virtualKeyOf(int wxKey) {
  switch (wxKey) {
    case WXK_F2: return VK_F2;
    case WXK_F5: return VK_F5;
    case WXK_F10: return VK_F10;
    case WXK_DELETE: return VK_DELETE;
    default: return 0;
  }
}

}  // namespace

ExplorerWindow::ExplorerWindow(ExplorerDialog& logic)
    : TemplateDialog(nullptr, res::IDD_EXPLORER, kFrame),
      logic_(logic),
      window_(this),
      removableList_(listControl(*this, res::IDC_REMOVABLE_LIST)),
      internalList_(listControl(*this, res::IDC_INTERNAL_LIST)),
      removableSummary_(control(res::IDC_REMOVABLE_SUMMARY)),
      internalSummary_(control(res::IDC_INTERNAL_SUMMARY)),
      toInternalButton_(control(res::IDC_TO_INTERNAL)),
      toRemovableButton_(control(res::IDC_TO_REMOVABLE)),
      loopClipCheck_(control(res::IDC_LOOP_CLIP)) {
  // The caption's icon and the minimised window's: the window manager draws the iconic
  // window from these, so there is no minimised client area to paint here.
  SetIcons(mainIcons());
  bindButtons();
  bindList(Removable);
  bindList(Internal);
  Bind(wxEVT_CONTEXT_MENU, &ExplorerWindow::onContextMenu, this);
}

ExplorerWindow::~ExplorerWindow() { logic_.attach(ExplorerControls{}); }

void ExplorerWindow::initialise() {
  ExplorerControls controls;
  controls.window = &window_;
  controls.removableList = &removableList_;
  controls.internalList = &internalList_;
  controls.removableSummary = &removableSummary_;
  controls.internalSummary = &internalSummary_;
  controls.toInternalButton = &toInternalButton_;
  controls.toRemovableButton = &toRemovableButton_;
  controls.loopClipCheck = &loopClipCheck_;
  logic_.attach(controls);
  logic_.onInitDialog();
  // The window opens with the focus on its first tab stop, the Removable list, whose focus
  // handler makes that drive current, arms the menu and sets the arrows. Left to itself the
  // dialog would focus the first button ("-->"): the generic list takes no focus from there.
  listOf(Removable)->SetFocus();
}

// The message table: every button and the check box go to the logic's one switch. "E&xit"
// ends the window as cancelled, as closing it does; other IDs keep the dialog's own handling.
void ExplorerWindow::bindButtons() {
  const auto route = [this](wxCommandEvent& event) {
    const int id = fromWxId(event.GetId());
    if (id == res::ID_APP_EXIT) {
      endModal(wxID_CANCEL);
    } else if (!logic_.onCommand(id)) {
      event.Skip();
    }
  };
  Bind(wxEVT_BUTTON, route);
  Bind(wxEVT_CHECKBOX, route);
}

// The message table: one list. The generic list passes its mouse and focus events on to the
// list control, where they are caught here and always let through (Skip) so that the list
// keeps its own handling. Handlers that may block or open dialogs run after the list has
// finished with the mouse event (CallAfter).
void ExplorerWindow::bindList(DriveKind drive) {
  wxListCtrl* list = listOf(drive);
  list->Bind(wxEVT_SET_FOCUS, [this, drive](wxFocusEvent& event) {
    event.Skip();
    if (drive == Internal) {
      logic_.onInternalListFocus();
    } else {
      logic_.onRemovableListFocus();
    }
  });
  // Every right click in the list, on a row or beside the rows, arms the menu that the
  // context-menu event then opens. As a native list does, the click first takes the focus
  // (the list's drive becomes current) and selects the row under the pointer: the generic
  // list does neither while it has no current row, and the menu would then act on the
  // other drive's selection.
  list->Bind(wxEVT_RIGHT_DOWN, [this, drive, list](wxMouseEvent& event) {
    event.Skip();
    list->SetFocus();
    int where = 0;
    const long row = list->HitTest(event.GetPosition(), where);
    if (row != wxNOT_FOUND && !viewOf(drive).isSelected(static_cast<int>(row)))
      viewOf(drive).select(static_cast<int>(row));
    logic_.onListRightClick();
  });
  list->Bind(wxEVT_LEFT_DCLICK, [this, drive](wxMouseEvent& event) {
    event.Skip();
    CallAfter([this, drive] { logic_.onListDoubleClick(drive); });
  });
  if (drive == Removable) {
    list->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
      event.Skip();
      CallAfter([this] { logic_.onRemovableListClick(); });
    });
  }
  const int id = list->GetId();
  Bind(
      wxEVT_LIST_COL_CLICK, [this, drive](wxListEvent& event) { logic_.onColumnClick(drive, event.GetColumn()); }, id);
  Bind(
      wxEVT_LIST_BEGIN_LABEL_EDIT,
      [this, drive](wxListEvent& event) {
        viewOf(drive).rememberEditText(fromWx(event.GetLabel()));
        logic_.onBeginLabelEdit(drive);
      },
      id);
  Bind(
      wxEVT_LIST_END_LABEL_EDIT, [this, drive](wxListEvent& event) { onEndLabelEdit(drive, event); }, id);
}

wxListCtrl* ExplorerWindow::listOf(DriveKind drive) const {
  return listControl(*this, drive == Internal ? res::IDC_INTERNAL_LIST : res::IDC_REMOVABLE_LIST);
}

// The list never writes the label itself: the logic writes the row once the unit has
// renamed the clip. It runs after the edit control is gone, since it may show a message.
void ExplorerWindow::onEndLabelEdit(DriveKind drive, wxListEvent& event) {
  event.Veto();
  viewOf(drive).rememberEditText(fromWx(event.GetLabel()));
  const bool cancelled = event.IsEditCancelled();
  CallAfter([this, drive, cancelled] { logic_.onEndLabelEdit(drive, cancelled); });
}

// A context-menu event from the keyboard (the menu key) has no position: it goes the way of
// a queued WM_CONTEXTMENU, which opens the menu near the client area's corner.
void ExplorerWindow::onContextMenu(wxContextMenuEvent& event) {
  const wxPoint at = event.GetPosition();
  if (at == wxDefaultPosition) {
    logic_.preTranslateMessage(QueuedMessage{QueuedMessage::ContextMenu, 0});
    return;
  }
  logic_.onContextMenu(at.x, at.y);
}

// Keys before any control sees them: F2, F5, Delete and Shift+F10 go to preTranslateMessage
// (F10 arrives as a system key, as on Windows); Escape ends the window as cancelled; Enter
// ends it as confirmed unless a button has the focus (then it presses that button). An edit
// of a row's label keeps its own keys.
void ExplorerWindow::onCharHook(wxKeyEvent& event) {
  if (removableList_.isEditing() || internalList_.isEditing()) {
    event.Skip();
    return;
  }
  const int key = event.GetKeyCode();
  if (const int virtualKey = virtualKeyOf(key)) {
    const bool system = virtualKey == VK_F10 || event.AltDown();
    const QueuedMessage message{system ? QueuedMessage::SysKeyDown : QueuedMessage::KeyDown, virtualKey,
                                focusedListId()};
    if (logic_.preTranslateMessage(message)) return;
  }
  if (key == WXK_ESCAPE) {
    endModal(wxID_CANCEL);
    return;
  }
  if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && !focusIsOnButton()) {
    endModal(wxID_OK);
    return;
  }
  event.Skip();
}

void ExplorerWindow::endModal(int result) {
  if (IsModal()) EndModal(result);
}

bool ExplorerWindow::focusIsOnButton() const { return wxDynamicCast(FindFocus(), wxButton) != nullptr; }

// The template ID of the list that has the focus, 0 for none. The generic list keeps the
// focus in a window of its own inside the list control.
int ExplorerWindow::focusedListId() const {
  for (const wxWindow* focus = FindFocus(); focus && focus != this; focus = focus->GetParent()) {
    if (focus == listOf(Removable)) return res::IDC_REMOVABLE_LIST;
    if (focus == listOf(Internal)) return res::IDC_INTERNAL_LIST;
  }
  return 0;
}

}  // namespace wxui
