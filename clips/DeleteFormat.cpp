// Delete and format: each asks first, selects the drive, sends its command, waits for the
// reply that ends the operation, and then updates the list itself. The free-space line keeps
// its old figure until the next listing.
#include "clips/ClipName.h"
#include "clips/UnitCommands.h"
#include "protocol/WaitCursor.h"
#include "ui/ExplorerDialog.h"

namespace {

constexpr unsigned kQuestion = platform::MB_YESNO | platform::MB_ICONQUESTION;

DriveKind driveOf(std::int32_t drive) { return drive == Internal ? Internal : Removable; }

}  // namespace

void ExplorerDialog::onDeleteFile() {
  platform::ListView& list = listOf(currentDrive);
  const int row = list.firstSelected();
  if (row < 0) return;
  const std::string name = list.cell(row, 0).substr(0, kClipNameMaxLength);
  const DriveKind drive = driveOf(currentDrive);

  WaitCursor waiting(desktop_);
  const int answer = desktop_.messageBox("Are you sure you want to delete\nthe selected file(s)?", "Delete File(s)", kQuestion);
  if (answer != platform::IDYES) return;
  if (!selectDrive(*this, drive)) return;
  if (!runLongOperation(*this, nameField(name) + "DL")) return;
  list.deleteRow(row);
}

void ExplorerDialog::onFormatDrive() {
  const int answer = desktop_.messageBox("All data on this drive will be lost.  Are you sure?", "Format Drive", kQuestion);
  if (answer != platform::IDYES) return;
  const DriveKind drive = driveOf(currentDrive);

  WaitCursor waiting(desktop_);
  if (!selectDrive(*this, drive)) return;
  if (!runLongOperation(*this, "FO")) return;
  listOf(drive).deleteAll();
}
