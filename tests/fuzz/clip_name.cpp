// Fuzz target: the clip-name rule and the name field built from a name, on any text a user
// can type into a label edit (and longer).
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "clips/ClipName.h"

namespace {

bool isNameCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

char upperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// What every valid name is: 1 to 8 letters or digits, then optionally a dot and up to 3 more.
void checkValidName(const std::string& typed, const std::string& name) {
  fuzz::require(name.size() == typed.size(), "a valid name changed length");
  for (std::size_t i = 0; i < typed.size(); ++i)
    fuzz::require(name[i] == upperCase(typed[i]), "not the upper-case form");
  const std::size_t stem = stemLength(name);
  fuzz::require(stem >= 1 && stem <= 8, "a name part outside 1 to 8 characters");
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (i != stem) fuzz::require(isNameCharacter(name[i]), "a character that is neither letter nor digit");
  }
  const std::size_t extension = stem < name.size() ? name.size() - stem - 1 : 0;
  fuzz::require(extension <= 3, "an extension longer than 3");
  fuzz::require(!(stem == 8 && stem + 1 == name.size()), "an 8-character name ending with its dot");
  fuzz::require(validateClipName(name) == name, "a valid name not valid again");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string typed(data, data + size);
  const auto name = validateClipName(typed);
  if (name) checkValidName(typed, *name);

  // The field is safe for any text, whatever the callers promise.
  fuzz::require(nameField(typed).size() == kNameFieldLength, "a name field that is not 11 characters");
  fuzz::require(stemLength(typed) <= typed.size(), "a stem beyond the name");
  if (name) {
    const std::string field = nameField(*name);
    const std::size_t stem = stemLength(*name);
    fuzz::require(field.compare(0, stem, *name, 0, stem) == 0, "the name part not in positions 1 to 8");
    fuzz::require(field.compare(8, 3, (name->substr(std::min(stem + 1, name->size())) + "   ").substr(0, 3)) == 0,
                  "the extension not in positions 9 to 11");
  }
  return 0;
}
