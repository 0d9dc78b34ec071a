#include "cli/Text.h"

#include <iomanip>
#include <iostream>
#include <sstream>

namespace cli {
namespace {

bool isPlain(unsigned char c) { return c >= 0x20 && c < 0x7F; }

bool jsonErrors = false;

}  // namespace

std::string jsonString(const std::string& text) {
  std::ostringstream out;
  out << '"';
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out << '\\' << c;
    } else if (!isPlain(c)) {
      out << "\\u" << std::hex << std::setw(4) << std::setfill('0') << static_cast<int>(c) << std::dec;
    } else {
      out << c;
    }
  }
  out << '"';
  return out.str();
}

std::string printable(const std::string& text) {
  std::ostringstream out;
  for (unsigned char c : text) {
    if (c == '\\') {
      out << "\\\\";
    } else if (!isPlain(c)) {
      out << "\\x" << std::hex << std::setw(2) << std::setfill('0') << static_cast<int>(c) << std::dec;
    } else {
      out << c;
    }
  }
  return out.str();
}

std::string upperCase(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

void tellAsJson(bool json) { jsonErrors = json; }

void tell(const std::string& text) {
  if (jsonErrors) {
    std::cerr << "{\"error\": " << jsonString(text) << "}\n" << std::flush;
    return;
  }
  std::string lines = "dorvik: " + text;
  for (auto at = lines.find('\n'); at != std::string::npos; at = lines.find('\n', at + 1)) lines.insert(at + 1, "dorvik: ");
  std::cerr << lines << "\n" << std::flush;
}

}  // namespace cli
