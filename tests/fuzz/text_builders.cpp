// Fuzz target: the texts built from figures (groupDigits, the Length and Size columns, the
// summary line) and the Size text read back by a rename. The first 16 bytes are two figures,
// the rest a text as a Size cell might hold it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "protocol/Directory.h"

namespace {

std::string withoutCommas(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ','), text.end());
  return text;
}

void checkGrouping(std::uint64_t value) {
  const std::string text = groupDigits(value);
  fuzz::require(withoutCommas(text) == std::to_string(value), "grouping changed the figure");
  for (std::size_t i = 0; i < text.size(); ++i) {
    fuzz::require((text[i] == ',') == ((text.size() - i) % 4 == 0), "a comma out of place");
  }
}

void checkLength(std::uint32_t size) {
  const std::uint32_t seconds = size / directory::kBytesPerSecond;
  char expected[16];
  std::snprintf(expected, sizeof expected, "%02u:%02u:%02u", seconds / 3600, seconds / 60 % 60, seconds % 60);
  fuzz::require(directory::lengthTextOf(size) == expected, "a Length that is not the size at 176400 bytes a second");
}

void checkSize(std::uint32_t size) {
  const std::uint32_t kilobytes = std::max<std::uint32_t>(size / 1000, 1);
  const std::string text = directory::sizeTextOf(size);
  fuzz::require(text == groupDigits(kilobytes) + "KB", "a Size that is not thousands of bytes in KB");
  fuzz::require(directory::kilobytesOfSizeText(text) == kilobytes, "a Size text read back as another figure");
  fuzz::require(directory::lengthOfSizeText(text) == directory::lengthTextOf(kilobytes * 1000),
                "a rename's Length off its Size");
}

void checkSummary(std::uint64_t used, std::uint64_t capacity) {
  const std::uint64_t free = used > capacity ? 0 : (capacity - used) / 1000000;
  const std::string expected = groupDigits(used / 1000) + "KB (Disk free space: " + groupDigits(free) + "MB)";
  fuzz::require(directory::summaryText(used, capacity) == expected, "a summary line off its figures");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::uint64_t figures[2] = {0, 0};
  std::memcpy(figures, data, std::min(size, sizeof figures));
  const std::string text(data + std::min(size, sizeof figures), data + size);

  checkGrouping(figures[0]);
  checkLength(static_cast<std::uint32_t>(figures[0]));
  checkSize(static_cast<std::uint32_t>(figures[0]));
  checkSummary(figures[0], figures[1]);

  fuzz::require(directory::kilobytesOfSizeText(text) <= 4294967, "a Size text read beyond a 32-bit size");
  fuzz::require(directory::lengthOfSizeText(text).size() == 8, "a Length that is not HH:MM:SS");
  const std::int32_t value = directory::decimalValue(text);
  fuzz::require(directory::decimalValue(std::to_string(value)) == value, "a decimal figure not read back");
  return 0;
}
