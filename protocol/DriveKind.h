// The unit's two drives: which list shows each, its name as the user reads it, and the line
// that selects it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The unit's two drives. The Internal Drive is the right list (1001), selected with "0SL";
// the Removable Drive is the left list (1000), selected with "1SL".
enum DriveKind : std::int32_t {
  Internal = 0,
  Removable = 1,
};

// The drive's name as the user reads it: "Internal Drive", "Removable Drive".
constexpr const char* driveTitle(DriveKind drive) { return drive == Internal ? "Internal Drive" : "Removable Drive"; }

// The line that makes the unit's next commands apply to drive (and stops playback).
constexpr const char* selectLine(DriveKind drive) { return drive == Internal ? "0SL" : "1SL"; }

// The drive a command line (without its CR) selects, if it is a select line.
constexpr std::optional<DriveKind> selectedByLine(std::string_view line) {
  if (line == selectLine(Internal)) return Internal;
  if (line == selectLine(Removable)) return Removable;
  return std::nullopt;
}
