// Delete and format: each asks first, selects the drive, sends its command, waits for the
// reply that ends the operation, and then updates the list itself. The free-space line keeps
// its old figure until the next listing.
#include "clips/ClipName.h"
#include "clips/UnitCommands.h"
#include "platform/WaitCursor.h"
#include "protocol/CommandText.h"
#include "protocol/Lines.h"
#include "ui/ExplorerDialog.h"

namespace {

constexpr unsigned kQuestion = platform::MB_YESNO | platform::MB_ICONQUESTION;

}  // namespace

void ExplorerDialog::onDeleteFile() {
  platform::ListView& list = listOf(currentDrive);
  const int row = list.firstSelected();
  if (row < 0) return;
  const DriveKind drive = currentDrive;
  const auto field = fieldToSend(desktop_, list.cell(row, 0).substr(0, kClipNameMaxLength), "deleted");
  if (!field) return;

  WaitCursor waiting(desktop_);
  const int answer =
      desktop_.messageBox("Are you sure you want to delete\nthe selected file(s)?", kDeleteCaption, kQuestion);
  if (answer != platform::IDYES) return;
  if (!selectDrive(*this, drive)) return;
  commandText = lines::remove(*field);
  if (!runOperation(commandText, drive)) return;
  list.deleteRow(row);
}

void ExplorerDialog::onFormatDrive() { formatDrive(currentDrive); }

void ExplorerDialog::formatDrive(DriveKind drive) {
  const int answer =
      desktop_.messageBox("All data on this drive will be lost.  Are you sure?", kFormatCaption, kQuestion);
  if (answer != platform::IDYES) return;

  WaitCursor waiting(desktop_);
  if (!selectDrive(*this, drive)) return;
  commandText = lines::kFormat;
  if (!runOperation(commandText, drive)) return;
  listOf(drive).deleteAll();
}
