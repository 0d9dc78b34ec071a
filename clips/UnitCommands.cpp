#include "clips/UnitCommands.h"

#include "clips/ClipName.h"
#include "protocol/CommandText.h"
#include "ui/ExplorerDialog.h"

bool selectDrive(ExplorerDialog& dialog, DriveKind drive) {
  commandText = selectLine(drive);
  return dialog.sendCommand(commandText);
}

std::optional<std::string> fieldToSend(platform::Desktop& desktop, const std::string& name, const char* done) {
  if (auto field = listedNameField(name)) return field;
  desktop.messageBox(std::string("The name of this file holds characters that cannot be sent to the unit,\nso it "
                                 "cannot be ") + done + ".",
                     kUnsendableNameCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
  return std::nullopt;
}

int findClip(const platform::ListView& list, const std::string& name) {
  const std::string field = nameField(name);
  for (int row = 0; row < list.rowCount(); ++row) {
    if (sameIgnoringCase(nameField(list.cell(row, 0)), field)) return row;
  }
  return -1;
}
