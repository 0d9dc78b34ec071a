#include "cli/Text.h"

#include <iomanip>
#include <sstream>

namespace cli {
namespace {

bool isPlain(unsigned char c) { return c >= 0x20 && c < 0x7F; }

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

}  // namespace cli
