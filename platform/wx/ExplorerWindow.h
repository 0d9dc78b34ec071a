// ExplorerWindow: the main window (template 102) on the desktop. It builds the controls,
// binds them to the ExplorerDialog logic and forwards each event to the handler named after
// it; it holds no protocol or list logic of its own.
#pragma once

#include "platform/wx/TemplateDialog.h"
#include "platform/wx/WxViews.h"
#include "protocol/DriveKind.h"

class ExplorerDialog;
class wxContextMenuEvent;
class wxListCtrl;
class wxListEvent;

namespace wxui {

class ExplorerWindow : public TemplateDialog {
 public:
  explicit ExplorerWindow(ExplorerDialog& logic);
  ~ExplorerWindow() override;

  // Binds the controls to the logic and runs its initialisation (splash, image lists,
  // columns, the first listing of both drives) while the window is not yet shown; the
  // Removable list then has the focus.
  void initialise();
  platform::Window& window() { return window_; }

 protected:
  void onCharHook(wxKeyEvent& event) override;

 private:
  void bindButtons();
  void bindList(DriveKind drive);
  wxListCtrl* listOf(DriveKind drive) const;
  WxListView& viewOf(DriveKind drive) { return drive == Internal ? internalList_ : removableList_; }

  void onContextMenu(wxContextMenuEvent& event);
  void onEndLabelEdit(DriveKind drive, wxListEvent& event);
  void endModal(int result);
  bool focusIsOnButton() const;
  int focusedListId() const;

  ExplorerDialog& logic_;
  WxWindow window_;
  WxListView removableList_;
  WxListView internalList_;
  WxControl removableSummary_;
  WxControl internalSummary_;
  WxControl toInternalButton_;
  WxControl toRemovableButton_;
  WxControl loopClipCheck_;
};

}  // namespace wxui
