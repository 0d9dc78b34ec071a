// Text for where `dorvik` prints it: the unit's names, which may hold any byte, made safe, and
// what the user is told on standard error.
#pragma once

#include <string>

namespace cli {

// text as a JSON string, quotes included; control bytes and bytes above 127 as \u escapes.
std::string jsonString(const std::string& text);

// text for a terminal: control bytes and bytes above 127 as \xNN, a backslash doubled, so
// that nothing the unit sends can move the cursor or ring the bell.
std::string printable(const std::string& text);

// a-z as A-Z, every other byte as it stands.
std::string upperCase(std::string text);

// Tells the user text on standard error: each of its lines after "dorvik: ", or, once
// tellAsJson(true), the whole as one JSON object {"error": text}, so that a script reading
// --json output reads the errors the same way.
void tell(const std::string& text);
void tellAsJson(bool json);

}  // namespace cli
