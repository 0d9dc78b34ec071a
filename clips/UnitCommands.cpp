#include "clips/UnitCommands.h"

#include "app/Globals.h"
#include "ui/ExplorerDialog.h"

bool selectDrive(ExplorerDialog& dialog, DriveKind drive) {
  commandText = drive == Internal ? "0SL" : "1SL";
  return dialog.sendCommand(commandText);
}

bool runLongOperation(ExplorerDialog& dialog, const std::string& line) {
  commandText = line;
  if (!dialog.sendCommand(commandText)) return false;
  return dialog.waitReply(kUntilDoneMs, true);
}
