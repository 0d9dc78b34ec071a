// Clip names as the unit knows them: the 8.3 form of a FAT directory record, letters and
// digits only. Commands name a clip by its 11-character name field (8 name characters and 3
// extension characters, blank padded, no dot), the way the record itself stores it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

constexpr std::size_t kNameFieldLength = 11;
constexpr std::size_t kNamePartLength = 8;
constexpr std::size_t kExtensionLength = 3;
// The longest label an edit may hold: 8 + "." + 3.
constexpr int kClipNameMaxLength = 12;

inline constexpr const char* kInvalidNameText = "The file name you have typed is invalid.\nPlease choose another name";
inline constexpr const char* kInvalidNameCaption = "Rename Error";

// 0-based index of the first "." in name, or its length when it has none.
std::size_t stemLength(const std::string& name);

// The name field of an 8.3 name: the characters before the first "." in positions 1 to 8,
// those after it in 9 to 11, blanks elsewhere; characters are copied as they stand. A name
// without a dot splits at its first blank instead, the way a listing shows an extension of
// fewer than three characters ("README TX"). Anything longer is cut to 8 + 3 so that the
// field is always exactly 11 characters.
std::string nameField(const std::string& name);

// The name field of a name that keeps the unit's name rule (as a listing or the user wrote
// it, letter case as it stands), else nothing: only such a field may go on the line.
std::optional<std::string> unitNameField(const std::string& name);

// ASCII letters compared without case, every other byte as it stands.
bool sameIgnoringCase(const std::string& first, const std::string& second);

// The unit's name rule: 1 to 8 name characters, then optionally "." and at most 3 extension
// characters, A-Z and 0-9 only (a-z are taken as upper case, bytes above 127 are never
// letters or digits). A name part of 8 characters needs an extension after its dot; a shorter
// one may end with the dot. Returns the upper-case form of a valid name, else nothing; the
// empty text is refused, since a blank name field would name no clip.
std::optional<std::string> validateClipName(const std::string& text);
