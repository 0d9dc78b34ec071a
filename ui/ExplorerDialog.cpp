#include "ui/ExplorerDialog.h"

#include "res/Resources.h"

ExplorerDialog::ExplorerDialog(platform::Desktop& desktop) : desktop_(desktop) {}

void ExplorerDialog::attach(const ExplorerControls& bound) {
  controls = bound;
  if (controls.loopClipCheck) controls.loopClipCheck->setCheck(loopClip != 0);
}

platform::ListView& ExplorerDialog::listOf(std::int32_t drive) {
  return drive == Internal ? *controls.internalList : *controls.removableList;
}

void ExplorerDialog::onCommand(int commandId) {
  switch (commandId) {
    case res::ID_DELETE_FILE: onDeleteFile(); break;
    case res::ID_RENAME_FILE: onRenameFile(); break;
    case res::ID_FORMAT_DRIVE: onFormatDrive(); break;
    case res::ID_REFRESH: onRefresh(); break;
    default: break;
  }
}

int compareSortKeys(std::int32_t first, std::int32_t second, std::int32_t sortCode) {
  // Keys have at most seven digits, so the difference cannot overflow.
  const bool ascending = sortCode == 2 || sortCode == 4 || sortCode == 6;
  return ascending ? first - second : second - first;
}
