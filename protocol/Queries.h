// The data queries of a drive listing, read raw on the link: "?R" answers 4 bytes, "?D" 511
// directory records in four blocks. Neither has a status reply: whatever did not arrive counts
// as zero bytes, and each tells whether its reply came whole, so that a listing cut short by a
// silent or vanished line is never taken for a complete drive.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/SerialLink.h"
#include "protocol/Directory.h"

namespace queries {

constexpr int kCapacityTimeoutMs = 2000;
constexpr int kDirectoryTimeoutMs = 6000;

// Sends "?R" (built in line) and puts the selected drive's capacity in bytes; true when the
// whole reply arrived.
bool capacity(SerialLink& link, std::string& line, std::uint64_t& bytes);

// Drains, sends "?D" (built in line) and reads the four blocks into raw at their places,
// calling afterBlock once each block is read. A record cut short by a silent or unplugged
// line is cleared whole: its missing bytes would otherwise make a name of NULs. True when all
// 511 records arrived.
bool directory(SerialLink& link, std::string& line, directory::Listing& raw, const std::function<void()>& afterBlock);

}  // namespace queries
