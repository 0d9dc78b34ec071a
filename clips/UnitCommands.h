// What copy, delete, format and rename have in common: selecting a drive, the clip names they
// may put on the line, and finding a clip in a list.
#pragma once

#include <optional>
#include <string>

#include "platform/Desktop.h"
#include "platform/Views.h"
#include "protocol/DriveKind.h"

class ExplorerDialog;

// Makes the unit's next command apply to drive ("0SL", "1SL"); true when the unit selected it.
// Delete, format and rename stop on false: their line would act on whichever drive is selected.
bool selectDrive(ExplorerDialog& dialog, DriveKind drive);

// The name field of a row's name, when every byte of it may go on the line; otherwise the user
// is told that the file cannot be `done` ("copied", "deleted", "renamed") and nothing may be
// sent for it (a name read from the unit may hold any byte, a CR among them, which would end
// the line early).
std::optional<std::string> fieldToSend(platform::Desktop& desktop, const std::string& name, const char* done);

// The row of list naming the same clip as name (same name field, letter case ignored), or -1.
int findClip(const platform::ListView& list, const std::string& name);
