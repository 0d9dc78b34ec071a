#include "clips/ClipName.h"

#include <algorithm>

namespace {

// Plain ASCII tests: the locale must not make a byte above 127 a letter.
bool isNameCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool isPrintable(char c) { return c >= 0x20 && c <= 0x7E; }

char upperCase(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The listing shows a short extension after a blank, where a full one has its dot.
std::string withDot(const std::string& name) {
  std::string dotted = name;
  const auto blank = name.find(' ');
  if (name.find('.') == std::string::npos && blank != std::string::npos) dotted[blank] = '.';
  return dotted;
}

}  // namespace

std::size_t stemLength(const std::string& name) {
  const auto dot = name.find('.');
  return dot == std::string::npos ? name.size() : dot;
}

std::string nameField(const std::string& shown) {
  const std::string name = withDot(shown);
  std::string field(kNameFieldLength, ' ');
  const std::size_t stem = stemLength(name);
  std::copy_n(name.begin(), std::min(stem, kNamePartLength), field.begin());
  if (stem < name.size()) {
    const std::size_t extension = std::min(name.size() - stem - 1, kExtensionLength);
    std::copy_n(name.begin() + static_cast<std::ptrdiff_t>(stem + 1), extension,
                field.begin() + static_cast<std::ptrdiff_t>(kNamePartLength));
  }
  return field;
}

std::optional<std::string> listedNameField(const std::string& shown) {
  std::string field = nameField(shown);
  if (!std::all_of(field.begin(), field.end(), isPrintable)) return std::nullopt;
  return field;
}

std::optional<std::string> typedNameField(const std::string& typed) {
  const std::size_t stem = stemLength(typed);
  const bool fits = stem >= 1 && stem <= kNamePartLength &&
                    (stem == typed.size() || typed.size() - stem - 1 <= kExtensionLength) &&
                    typed.find('.', stem + 1) == std::string::npos;
  if (!fits || !std::all_of(typed.begin(), typed.end(), isPrintable)) return std::nullopt;
  return nameField(typed);
}

bool sameIgnoringCase(const std::string& first, const std::string& second) {
  return std::equal(first.begin(), first.end(), second.begin(), second.end(),
                    [](char a, char b) { return upperCase(a) == upperCase(b); });
}

std::optional<std::string> validateClipName(const std::string& text) {
  if (text.empty()) return std::nullopt;
  std::string upper;
  std::size_t namePart = 0;              // characters of the name part so far
  std::optional<std::size_t> extension;  // characters of the extension, once the dot is read
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = upperCase(text[i]);
    upper.push_back(c);
    if (extension) {
      if (*extension == kExtensionLength || !isNameCharacter(c)) return std::nullopt;
      ++*extension;
    } else if (c == '.') {
      // A dot may not start the name, nor end a full 8-character name part.
      const bool endsText = i + 1 == text.size();
      if (namePart == 0 || (namePart == kNamePartLength && endsText)) return std::nullopt;
      extension = 0;
    } else {
      if (namePart == kNamePartLength || !isNameCharacter(c)) return std::nullopt;
      ++namePart;
    }
  }
  return upper;
}
