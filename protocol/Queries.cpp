#include "protocol/Queries.h"

#include <algorithm>
#include <array>

namespace queries {

namespace {

// Reads count bytes at most, each within the limit; returns how many arrived.
std::size_t readArrived(SerialLink& link, std::uint8_t* buffer, std::size_t count, int timeoutMs) {
  for (std::size_t i = 0; i < count; ++i) {
    const int value = link.readByte(timeoutMs);
    if (value < 0) return i;
    buffer[i] = static_cast<std::uint8_t>(value);
  }
  return count;
}

}  // namespace

bool capacity(SerialLink& link, std::string& line, std::uint64_t& bytes) {
  line = "?R\r";
  link.sendLine(line);
  std::array<std::uint8_t, directory::kCapacityReplyBytes> reply{};
  const bool whole = link.readBytes(reply.data(), reply.size(), kCapacityTimeoutMs) != 0;
  bytes = directory::capacityBytes(reply);
  return whole;
}

bool directory(SerialLink& link, std::string& line, directory::Listing& raw, const std::function<void()>& afterBlock) {
  line = "?D\r";
  link.drain();
  link.sendLine(line);
  raw.fill(0);
  std::size_t offset = 0;
  bool whole = true;
  for (const std::size_t bytes : directory::kBlockBytes) {
    const std::size_t arrived = readArrived(link, raw.data() + offset, bytes, kDirectoryTimeoutMs);
    whole = whole && arrived == bytes;
    const std::size_t whole = arrived / directory::kRecordBytes * directory::kRecordBytes;
    std::fill(raw.begin() + static_cast<std::ptrdiff_t>(offset + whole),
              raw.begin() + static_cast<std::ptrdiff_t>(offset + bytes), std::uint8_t{0});
    offset += bytes;
    afterBlock();
  }
  return whole;
}

}  // namespace queries
