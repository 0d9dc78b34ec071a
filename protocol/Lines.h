// The command lines the unit knows, without their CR: the one place that spells its words.
// A clip is named by its 11-character name field (clips/ClipName.h), built and checked by the
// caller; these only put the words around it. A drive's select line is selectLine
// (protocol/DriveKind.h).
#pragma once

#include <string>
#include <string_view>

#include "protocol/DriveKind.h"

namespace lines {

inline constexpr const char* kCapacity = "?R";   // 4 raw bytes: the selected drive's sectors
inline constexpr const char* kDirectory = "?D";  // 16352 raw bytes: its 511 directory records
inline constexpr const char* kRevision = "?V";   // 10 raw bytes: the firmware revision
inline constexpr const char* kStill = "ST";
inline constexpr const char* kFormat = "FO";  // the selected drive; a second reply ends it

// "nnnSE": cue clip number nnn (three digits) on the selected drive.
inline std::string cue(std::string_view digits) { return std::string(digits) + "SE"; }
// "LP" or "PL": play the cued clip looped, or once.
inline const char* play(bool looped) { return looped ? "LP" : "PL"; }
// Copy the clip of field to drive ("CI" to the Internal, "CR" to the Removable Drive).
inline std::string copy(const std::string& field, DriveKind to) { return field + (to == Internal ? "CI" : "CR"); }
// Delete the clip of field on the selected drive.
inline std::string remove(const std::string& field) { return field + "DL"; }
// Rename the clip of oldField on the selected drive to newField.
inline std::string rename(const std::string& oldField, const std::string& newField) {
  return oldField + newField + "RN";
}

}  // namespace lines
