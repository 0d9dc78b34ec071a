// Text from the unit, made safe for where `dorvik` prints it: names may hold any byte.
#pragma once

#include <string>

namespace cli {

// text as a JSON string, quotes included; control bytes and bytes above 127 as \u escapes.
std::string jsonString(const std::string& text);

// text for a terminal: control bytes and bytes above 127 as \xNN, a backslash doubled, so
// that nothing the unit sends can move the cursor or ring the bell.
std::string printable(const std::string& text);

}  // namespace cli
