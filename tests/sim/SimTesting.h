// Helpers shared by the simulator tests: talk to a Unit directly, byte by byte.
#pragma once

#include <cstdint>
#include <string>

#include "sim/Unit.h"

namespace simtest {

// Feeds line + CR to the unit, all received at atUs.
inline void sendLine(sim::Unit& unit, const std::string& line, std::int64_t atUs = 0) {
  for (char c : line + "\r") unit.receive(static_cast<std::uint8_t>(c), atUs);
}

// Every byte queued, whatever its time; a closed line shows as "<closed>".
inline std::string takeOutput(sim::Unit& unit) {
  std::string bytes;
  while (auto next = unit.peekOutput()) {
    unit.popOutput();
    bytes += next->value == sim::kLineClosed ? std::string("<closed>") : std::string(1, static_cast<char>(next->value));
  }
  return bytes;
}

inline std::string exchange(sim::Unit& unit, const std::string& line) {
  sendLine(unit, line);
  return takeOutput(unit);
}

inline std::string field(const std::string& name83) { return sim::nameFieldOf(name83).value_or("?"); }

inline std::string recordName(const sim::Drive& drive, int index) {
  const auto* record = drive.directory.data() + index * sim::kRecordBytes;
  return std::string(record, record + sim::kNameFieldBytes);
}

// Reply bytes made readable in failure messages.
inline std::string visible(const std::string& bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c == '\r')
      text += "<CR>";
    else if (c < 0x20 || c >= 0x7F)
      text.append("<").append(std::to_string(c)).append(">");
    else
      text.push_back(static_cast<char>(c));
  }
  return text;
}

}  // namespace simtest
