#include "clips/SizeText.h"

#include <algorithm>

#include "protocol/Directory.h"

namespace {

// The largest figure a listing can show: a 32-bit size in thousands of bytes.
constexpr std::int32_t kLargestKilobytes = 4294967;

}  // namespace

std::uint32_t kilobytesOfSizeText(const std::string& sizeText) {
  if (sizeText.empty()) return 0;
  // The first character always counts; of the rest the last one (the "B" of "KB") never does.
  std::string digits(1, sizeText.front());
  const auto inner = sizeText.substr(1, sizeText.size() >= 2 ? sizeText.size() - 2 : 0);
  std::copy_if(inner.begin(), inner.end(), std::back_inserter(digits),
               [](char c) { return c != ',' && c != 'K' && c != 'B'; });
  const std::int32_t value = directory::decimalValue(digits);
  return static_cast<std::uint32_t>(std::clamp(value, 0, kLargestKilobytes));
}

std::string lengthOfSizeText(const std::string& sizeText) {
  // Thousands of bytes at 4 bytes a sample and 44100 samples a second: the same whole seconds
  // as the listing's size / 176400, and the product stays within 32 bits after the clamp.
  return directory::lengthTextOf(kilobytesOfSizeText(sizeText) * 1000u);
}
