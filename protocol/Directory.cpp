#include "protocol/Directory.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace directory {

namespace {

constexpr std::size_t kNameBytes = 8;
constexpr std::size_t kExtensionBytes = 3;
constexpr std::size_t kAttributeOffset = 11;
constexpr std::size_t kSizeOffset = 28;
constexpr std::uint8_t kLongNameBits = 0x0F;
constexpr std::uint8_t kDeletedMarker = 0xE5;
constexpr std::uint8_t kDotMarker = 0x2E;
// FAT keeps a name that really begins with 0xE5 as 0x05, so it does not read as deleted.
constexpr std::uint8_t kE5StandIn = 0x05;
constexpr std::uint64_t kSectorBytes = 512;

// Blanks, tabs and the other C white-space bytes; never a byte above 127.
bool isWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

void trimTrailingWhiteSpace(std::string& text) {
  while (!text.empty() && isWhiteSpace(text.back())) text.pop_back();
}

// The largest figure a listing can show: a 32-bit size in thousands of bytes.
constexpr std::int32_t kLargestKilobytes = 4294967;

}  // namespace

std::uint64_t capacityBytes(const std::array<std::uint8_t, kCapacityReplyBytes>& reply) {
  const std::uint64_t sectors = (std::uint64_t{reply[1]} << 16) | (std::uint64_t{reply[2]} << 8) | reply[3];
  return sectors * kSectorBytes;
}

void packListing(const Listing& raw, Listing& packed) {
  std::size_t start = 0;
  for (std::size_t offset = 0; offset < kBlockBytes[0]; offset += kRecordBytes) {
    if (raw[offset] != 0) {
      start = offset;
      break;
    }
  }
  const auto end = std::copy(raw.begin() + static_cast<std::ptrdiff_t>(start), raw.end(), packed.begin());
  std::fill(end, packed.end(), std::uint8_t{0});
}

std::optional<std::string> recordName(const std::uint8_t* record) {
  if ((record[kAttributeOffset] & kLongNameBits) == kLongNameBits) return std::nullopt;
  if (record[0] == kDeletedMarker || record[0] == kDotMarker) return std::nullopt;

  std::string name(reinterpret_cast<const char*>(record), kNameBytes);
  if (record[0] == kE5StandIn) name[0] = static_cast<char>(kDeletedMarker);
  trimTrailingWhiteSpace(name);
  name += ' ';
  name.append(reinterpret_cast<const char*>(record + kNameBytes), kExtensionBytes);
  // A full three-character extension takes a dot; a shorter one leaves the blank.
  const auto extension = std::string_view(name).substr(name.size() - kExtensionBytes);
  if (extension.find(' ') == std::string_view::npos) name[name.size() - kExtensionBytes - 1] = '.';
  trimTrailingWhiteSpace(name);
  return name;
}

std::uint32_t recordSize(const std::uint8_t* record) {
  const std::uint8_t* size = record + kSizeOffset;
  return std::uint32_t{size[0]} | (std::uint32_t{size[1]} << 8) | (std::uint32_t{size[2]} << 16) |
         (std::uint32_t{size[3]} << 24);
}

std::string lengthTextOf(std::uint32_t size) {
  const unsigned seconds = size / kBytesPerSecond;
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", seconds / 3600, seconds % 3600 / 60, seconds % 60);
  return text;
}

std::string sizeTextOf(std::uint32_t size) { return groupDigits(std::max<std::uint32_t>(size / 1000, 1)) + "KB"; }

std::uint32_t kilobytesOfSizeText(const std::string& sizeText) {
  if (sizeText.empty()) return 0;
  // The first character always counts; of the rest the last one (the "B" of "KB") never does.
  std::string digits(1, sizeText.front());
  const auto inner = sizeText.substr(1, sizeText.size() >= 2 ? sizeText.size() - 2 : 0);
  std::copy_if(inner.begin(), inner.end(), std::back_inserter(digits),
               [](char c) { return c != ',' && c != 'K' && c != 'B'; });
  const std::int32_t value = decimalValue(digits);
  return static_cast<std::uint32_t>(std::clamp(value, 0, kLargestKilobytes));
}

std::string lengthOfSizeText(const std::string& sizeText) {
  // Thousands of bytes at 4 bytes a sample and 44100 samples a second: the same whole seconds
  // as the listing's size / 176400, and the product stays within 32 bits after the clamp.
  return lengthTextOf(kilobytesOfSizeText(sizeText) * 1000u);
}

std::string groupDigits(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::string summaryText(std::uint64_t usedBytes, std::uint64_t capacityBytes) {
  const std::uint64_t freeBytes = usedBytes > capacityBytes ? 0 : capacityBytes - usedBytes;
  return groupDigits(usedBytes / 1000) + "KB (Disk free space: " + groupDigits(freeBytes / 1000000) + "MB)";
}

std::int32_t decimalValue(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t value = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) value = std::min(value * 10 + (text[i] - '0'), kLimit);
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(std::min(value, kLimit - 1));
}

}  // namespace directory

namespace {

struct KindPattern {
  std::string_view stem;                       // followed by digits up to the eighth character
  std::array<std::string_view, 4> extensions;  // unused places empty
};

// In the order they are tried; the first match gives the kind.
constexpr std::array<KindPattern, 4> kKindPatterns = {{
    {"VID00", {"MPG", "DKV"}},
    {"SND00", {"DKS", "SFD", "WAV", "MP3"}},
    {"PLY00", {"LST", "RND"}},
    {"COMMAND", {"BAT"}},
}};

constexpr std::size_t kClipNameLength = 12;
constexpr std::size_t kDotPosition = 8;

bool matches(std::string_view name, const KindPattern& pattern) {
  if (!name.starts_with(pattern.stem) || name[kDotPosition] != '.') return false;
  for (std::size_t i = pattern.stem.size(); i < kDotPosition; ++i) {
    if (name[i] < '0' || name[i] > '9') return false;
  }
  const std::string_view extension = name.substr(kDotPosition + 1);
  return std::find(pattern.extensions.begin(), pattern.extensions.end(), extension) != pattern.extensions.end();
}

}  // namespace

unsigned clipKind(std::string_view name) {
  if (name.size() != kClipNameLength) return OtherFile;
  for (unsigned kind = 0; kind < kKindPatterns.size(); ++kind) {
    if (matches(name, kKindPatterns[kind])) return kind;
  }
  return OtherFile;
}

int clipImage(unsigned kind) { return kind <= CommandFile ? static_cast<int>(kind) : 4; }

std::int32_t listingSortKey(std::string_view name) {
  const unsigned kind = clipKind(name);
  // Characters 4 to 8 are "00" and the three digits of the clip number.
  if (kind <= PlayList) return directory::decimalValue(name.substr(3, 5));
  return kind == CommandFile ? 0 : -1;
}

int compareSortKeys(std::int32_t first, std::int32_t second, std::int32_t sortCode) {
  // The sign alone orders the rows; taking it instead of the difference keeps any two keys
  // from overflowing, whatever item data a row carries.
  const int ascendingOrder = (first > second) - (first < second);
  const bool ascending = sortCode == 2 || sortCode == 4 || sortCode == 6;
  return ascending ? ascendingOrder : -ascendingOrder;
}
