// Text between the logic (bytes, as the unit and the templates have them) and wx (Unicode).
// Every byte maps to the character of the same code (Latin-1), so no byte the unit sends can
// make a conversion fail; on the way back a character without a byte becomes '?', which the
// clip-name rule refuses.
#pragma once

#include <string>
#include <string_view>

#include <wx/string.h>

namespace wxui {

inline wxString toWx(std::string_view text) { return wxString(text.data(), wxConvISO8859_1, text.size()); }

inline std::string fromWx(const wxString& text) {
  std::string bytes;
  bytes.reserve(text.length());
  for (wxUniChar c : text) bytes.push_back(c.GetValue() < 256 ? static_cast<char>(c.GetValue()) : '?');
  return bytes;
}

}  // namespace wxui
