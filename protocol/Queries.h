// The data queries of a drive listing, read raw on the link: "?R" answers 4 bytes, "?D" 511
// directory records in four blocks. Neither has a status reply and their time-outs are not
// reported: whatever did not arrive counts as zero bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/SerialLink.h"
#include "protocol/Directory.h"

namespace queries {

constexpr int kCapacityTimeoutMs = 2000;
constexpr int kDirectoryTimeoutMs = 6000;

// Sends "?R" (built in line) and gives the selected drive's capacity in bytes.
std::uint64_t capacity(SerialLink& link, std::string& line);

// Drains, sends "?D" (built in line) and reads the four blocks into raw at their places,
// calling afterBlock once each block is read. A record cut short by a silent or unplugged
// line is cleared whole: its missing bytes would otherwise make a name of NULs.
void directory(SerialLink& link, std::string& line, directory::Listing& raw, const std::function<void()>& afterBlock);

}  // namespace queries
