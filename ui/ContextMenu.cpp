// The context menu of the lists: a right click on a list, the context-menu key or Shift+F10;
// and the keys that do what its items do.
// A menu shows only when armed (a list gained the focus or was right-clicked since the last
// menu), so a right click on the dialog's background straight after a menu gives none.
#include "res/Resources.h"
#include "ui/ExplorerDialog.h"

void ExplorerDialog::onListRightClick() { menuArmed = 1; }

void ExplorerDialog::onContextMenu(int x, int y) {
  if (menuArmed == 0) return;
  const bool hasSelection = listOf(currentDrive).firstSelected() >= 0;
  const int chosen = desktop_.trackPopupMenu(hasSelection ? res::IDR_MENU_SELECTION : res::IDR_MENU_NO_SELECTION, x, y);
  // Disarmed before the command runs: whatever it does, the next menu needs a new arming.
  menuArmed = 0;
  if (chosen != 0) onCommand(chosen);
}

// The keys of a file manager on either list: F5 lists its drive again, F2 renames the
// selected clip and Delete deletes it, each as its menu item does (the list with the focus
// made its drive current).
bool ExplorerDialog::onListKey(const QueuedMessage& message) {
  const bool onList = message.controlId == res::IDC_REMOVABLE_LIST || message.controlId == res::IDC_INTERNAL_LIST;
  if (message.type != QueuedMessage::KeyDown || !onList) return false;
  switch (message.virtualKey) {
    case VK_F5: onRefresh(); return true;
    case VK_F2: onRenameFile(); return true;
    case VK_DELETE: onDeleteFile(); return true;
    default: return false;
  }
}

bool ExplorerDialog::preTranslateMessage(const QueuedMessage& message) {
  if (onListKey(message)) return true;
  const bool isKey = message.type == QueuedMessage::KeyDown || message.type == QueuedMessage::SysKeyDown;
  const bool shiftF10 = isKey && message.virtualKey == VK_F10 && desktop_.isShiftDown();
  if (!shiftF10 && message.type != QueuedMessage::ContextMenu) return false;
  // From the keyboard there is no pointer position: open near the client area's corner.
  int x = 0;
  int y = 0;
  controls.window->clientOrigin(x, y);
  onContextMenu(x + 5, y + 5);
  return true;
}
