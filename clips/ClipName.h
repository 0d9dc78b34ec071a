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
// The caption of the box that refuses to act on a listed name that cannot go on the line.
inline constexpr const char* kUnsendableNameCaption = "File Not Valid";

// 0-based index of the first "." in name, or its length when it has none.
std::size_t stemLength(const std::string& name);

// The name field of an 8.3 name: the characters before the first "." in positions 1 to 8,
// those after it in 9 to 11, blanks elsewhere; characters are copied as they stand. A name
// without a dot splits at its first blank instead, the way a listing shows an extension of
// fewer than three characters ("README TX"). Anything longer is cut to 8 + 3 so that the
// field is always exactly 11 characters.
std::string nameField(const std::string& name);

// The name field of a name as the unit listed it, when every byte of that field is printable
// ASCII (0x20 to 0x7E), else nothing: a CR, NUL or control byte would end or garble the line.
// The unit's own names go back to it as they stand (CLIPON~1.MPG, A-B.MPG, lower case).
std::optional<std::string> listedNameField(const std::string& shown);

// The name field of a name the user typed to pick a file: 1 to 8 characters, at most one dot
// and at most 3 characters after it, printable ASCII; else nothing. Nothing is cut, so a name
// that merely begins like a clip's never becomes that clip's field.
std::optional<std::string> typedNameField(const std::string& typed);

// ASCII letters compared without case, every other byte as it stands.
bool sameIgnoringCase(const std::string& first, const std::string& second);

// The unit's name rule: 1 to 8 name characters, then optionally "." and at most 3 extension
// characters, A-Z and 0-9 only (a-z are taken as upper case, bytes above 127 are never
// letters or digits). A name part of 8 characters needs an extension after its dot; a shorter
// one may end with the dot. Returns the upper-case form of a valid name, else nothing; the
// empty text is refused, since a blank name field would name no clip.
std::optional<std::string> validateClipName(const std::string& text);
