// The exchanges that copy, delete, format and rename have in common.
#pragma once

#include <cstdint>
#include <string>

#include "protocol/DriveKind.h"

class ExplorerDialog;

// Per-byte limit of the wait for the reply that ends a copy, delete or format: no limit of
// its own, so the wait lasts until the unit reports the end (the port caps the silence).
constexpr std::int32_t kUntilDoneMs = 0;

// Makes the unit's next command apply to drive ("0SL", "1SL"); true when the unit selected it.
// Delete and rename stop on false: their line would act on whichever drive is selected.
bool selectDrive(ExplorerDialog& dialog, DriveKind drive);

// Sends the line of a long operation (copy, delete, format) and waits for the second reply
// that ends it; true when the operation is done. A command the unit refused or never
// answered sends no second reply, so the wait is skipped then rather than left to hang.
bool runLongOperation(ExplorerDialog& dialog, const std::string& line);
