// The drive's directory table, handled the way a FAT file system handles its root directory:
// new files go into the first free or deleted slot, a deleted file keeps its record with the
// first byte 0xE5, and long-name records go with the short record they precede.
#include <algorithm>
#include <cstring>

#include "sim/Unit.h"

namespace sim {

namespace {

// A name whose first byte really is 0xE5 is stored with 0x05, so it does not read as deleted.
constexpr std::uint8_t kE5StandIn = 0x05;
constexpr std::size_t kAttrOffset = 11;
constexpr std::size_t kSizeOffset = 28;

std::uint8_t* recordAt(std::array<std::uint8_t, kDirectoryBytes>& table, int index) {
  return table.data() + static_cast<std::size_t>(index) * kRecordBytes;
}

const std::uint8_t* recordAt(const std::array<std::uint8_t, kDirectoryBytes>& table, int index) {
  return table.data() + static_cast<std::size_t>(index) * kRecordBytes;
}

bool isLongName(const std::uint8_t* record) { return (record[kAttrOffset] & kAttrLongName) == kAttrLongName; }

bool isFileRecord(const std::uint8_t* record) {
  if (record[0] == kFreeMarker || record[0] == kDeletedMarker) return false;
  if (isLongName(record)) return false;
  return (record[kAttrOffset] & (kAttrVolume | kAttrDirectory)) == 0;
}

void writeNameField(std::uint8_t* record, const std::string& nameField) {
  std::memcpy(record, nameField.data(), kNameFieldBytes);
  if (record[0] == kDeletedMarker) record[0] = kE5StandIn;
}

void writeLittleEndian(std::uint8_t* at, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Long-name records stand directly before the short record they name.
void eraseLongNamesBefore(std::array<std::uint8_t, kDirectoryBytes>& table, int index) {
  for (int i = index - 1; i >= 0; --i) {
    std::uint8_t* record = recordAt(table, i);
    if (!isLongName(record) || record[0] == kFreeMarker || record[0] == kDeletedMarker) return;
    record[0] = kDeletedMarker;
  }
}

}  // namespace

std::optional<std::string> nameFieldOf(const std::string& name83) {
  const std::size_t dot = name83.find('.');
  const std::string stem = name83.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : name83.substr(dot + 1);
  if (stem.empty() || stem.size() > 8 || extension.size() > 3) return std::nullopt;
  if (extension.find('.') != std::string::npos) return std::nullopt;
  std::string field(kNameFieldBytes, ' ');
  field.replace(0, stem.size(), stem);
  field.replace(8, extension.size(), extension);
  return field;
}

bool Drive::addFile(const std::string& name83, std::uint32_t size) {
  const auto field = nameFieldOf(name83);
  const int slot = freeSlot();
  if (!field || slot < 0) return false;
  std::uint8_t* record = recordAt(directory, slot);
  std::fill(record, record + kRecordBytes, 0);
  writeNameField(record, *field);
  record[kAttrOffset] = kAttrArchive;
  // A fixed time stamp (2024-01-15 12:00) keeps seeded tables reproducible.
  constexpr std::uint16_t kTime = 12 << 11;
  constexpr std::uint16_t kDate = ((2024 - 1980) << 9) | (1 << 5) | 15;
  for (std::size_t offset : {14, 22}) writeLittleEndian(record + offset, kTime, 2);
  for (std::size_t offset : {16, 18, 24}) writeLittleEndian(record + offset, kDate, 2);
  writeLittleEndian(record + kSizeOffset, size, 4);
  return true;
}

int Drive::find(const std::string& nameField) const {
  if (nameField.size() != kNameFieldBytes) return -1;
  for (int i = 0; i < static_cast<int>(kRecords); ++i) {
    const std::uint8_t* record = recordAt(directory, i);
    if (!isFileRecord(record)) continue;
    const std::uint8_t first = record[0] == kE5StandIn ? kDeletedMarker : record[0];
    if (first == static_cast<std::uint8_t>(nameField[0]) &&
        std::memcmp(record + 1, nameField.data() + 1, kNameFieldBytes - 1) == 0) {
      return i;
    }
  }
  return -1;
}

int Drive::freeSlot() const {
  for (int i = 0; i < static_cast<int>(kRecords); ++i) {
    const std::uint8_t first = recordAt(directory, i)[0];
    if (first == kFreeMarker || first == kDeletedMarker) return i;
  }
  return -1;
}

std::uint32_t Drive::fileSize(int index) const {
  const std::uint8_t* size = recordAt(directory, index) + kSizeOffset;
  return static_cast<std::uint32_t>(size[0]) | static_cast<std::uint32_t>(size[1]) << 8 |
         static_cast<std::uint32_t>(size[2]) << 16 | static_cast<std::uint32_t>(size[3]) << 24;
}

std::uint64_t Drive::usedBytes() const {
  std::uint64_t used = 0;
  for (int i = 0; i < static_cast<int>(kRecords); ++i) {
    if (isFileRecord(recordAt(directory, i))) used += fileSize(i);
  }
  return used;
}

void Drive::erase(int index) {
  recordAt(directory, index)[0] = kDeletedMarker;
  eraseLongNamesBefore(directory, index);
}

void Drive::rename(int index, const std::string& nameField) {
  writeNameField(recordAt(directory, index), nameField);
  eraseLongNamesBefore(directory, index);
}

void Drive::format() {
  directory.fill(0);
  formatted = true;
}

}  // namespace sim
