// Filling the drives before serving: from a small text manifest, or from the root directory
// of a real FAT12/16 disk image. Both parse into a copy and change the unit only when the
// whole input was good, so a bad line or image never leaves a half-seeded unit.
#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>
#include <vector>

#include "sim/Unit.h"

namespace sim {

namespace {

constexpr std::uint64_t kLargestSectorCount = 0xFFFFFF;  // three bytes in the ?R reply

bool fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

std::vector<std::string> wordsOf(const std::string& line) {
  std::istringstream stream(line.substr(0, line.find('#')));
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

std::optional<std::uint64_t> numberOf(const std::string& text, std::uint64_t largest) {
  std::uint64_t value = 0;
  const auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (status != std::errc() || end != text.data() + text.size() || value > largest) return std::nullopt;
  return value;
}

std::optional<DriveKind> sectionOf(const std::string& word) {
  if (word == "[internal]") return Internal;
  if (word == "[removable]") return Removable;
  return std::nullopt;
}

// One manifest line inside a drive's section; an empty text on success.
std::string applyLine(Drive& drive, const std::vector<std::string>& words) {
  if (words.size() == 1 && words[0] == "absent") {
    drive.present = false;
    return "";
  }
  if (words.size() == 1 && words[0] == "unformatted") {
    drive.formatted = false;
    return "";
  }
  if (words.size() == 2 && words[0] == "capacity") {
    const auto sectors = numberOf(words[1], kLargestSectorCount);
    if (!sectors || *sectors == 0) return "capacity must be 1 to 16777215 sectors";
    drive.sectors = static_cast<std::uint32_t>(*sectors);
    return "";
  }
  if (words.size() != 2) return "expected \"NAME.EXT size\", \"capacity <sectors>\", \"absent\" or \"unformatted\"";
  const auto field = nameFieldOf(words[0]);
  if (!field) return "\"" + words[0] + "\" is not an 8.3 name";
  const auto size = numberOf(words[1], 0xFFFFFFFF);
  if (!size) return "size \"" + words[1] + "\" is not a number of bytes below 4 GiB";
  if (drive.find(*field) >= 0) return "\"" + words[0] + "\" is listed twice";
  if (!drive.addFile(words[0], static_cast<std::uint32_t>(*size))) return "more than 511 files";
  return "";
}

}  // namespace

bool Unit::seedManifest(const std::string& text, std::string* error) {
  std::array<std::optional<Drive>, 2> seeded;
  std::optional<DriveKind> current;
  std::istringstream lines(text);
  int number = 0;
  for (std::string line; std::getline(lines, line);) {
    ++number;
    const auto words = wordsOf(line);
    if (words.empty()) continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    if (words[0].front() == '[') {
      current = sectionOf(words[0]);
      if (!current || words.size() != 1) return fail(error, where + "expected [internal] or [removable]");
      if (seeded[*current]) return fail(error, where + words[0] + " appears twice");
      seeded[*current] = Drive{};
      continue;
    }
    if (!current) return fail(error, where + "\"" + words[0] + "\" stands before [internal] or [removable]");
    const std::string problem = applyLine(*seeded[*current], words);
    if (!problem.empty()) return fail(error, where + problem);
  }
  std::lock_guard lock(mutex_);
  for (DriveKind kind : {Internal, Removable}) {
    if (seeded[kind]) drives_[kind] = *seeded[kind];
  }
  return true;
}

namespace {

std::uint32_t littleEndian(const std::uint8_t* at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | at[i];
  return value;
}

bool isPowerOfTwo(std::uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

// The boot sector fields that locate the root directory.
struct BootSector {
  std::uint32_t bytesPerSector;
  std::uint32_t reservedSectors;
  std::uint32_t fatCount;
  std::uint32_t rootEntries;
  std::uint32_t sectorsPerFat;
  std::uint64_t totalSectors;

  std::uint64_t rootOffset() const {
    return (std::uint64_t{reservedSectors} + std::uint64_t{fatCount} * sectorsPerFat) * bytesPerSector;
  }
  std::uint64_t rootBytes() const { return std::uint64_t{rootEntries} * kRecordBytes; }
};

// An empty text when the boot sector describes a FAT12/16 volume, else what is wrong.
std::string readBootSector(const std::uint8_t* boot, BootSector& out) {
  if (boot[510] != 0x55 || boot[511] != 0xAA) return "no boot sector signature (55 AA)";
  out.bytesPerSector = littleEndian(boot + 11, 2);
  if (!isPowerOfTwo(out.bytesPerSector) || out.bytesPerSector < 512 || out.bytesPerSector > 4096) {
    return "bytes per sector " + std::to_string(out.bytesPerSector) + " is not 512 to 4096";
  }
  if (!isPowerOfTwo(boot[13])) return "sectors per cluster " + std::to_string(boot[13]) + " is not a power of two";
  out.reservedSectors = littleEndian(boot + 14, 2);
  out.fatCount = boot[16];
  out.rootEntries = littleEndian(boot + 17, 2);
  out.sectorsPerFat = littleEndian(boot + 22, 2);
  const std::uint32_t small = littleEndian(boot + 19, 2);
  out.totalSectors = small != 0 ? small : littleEndian(boot + 32, 4);
  if (out.reservedSectors == 0) return "no reserved sectors";
  if (out.fatCount == 0) return "no FAT";
  if (out.rootEntries == 0 || out.sectorsPerFat == 0) return "no fixed root directory (not FAT12 or FAT16)";
  if (out.totalSectors * out.bytesPerSector < out.rootOffset() + out.rootBytes()) {
    return "total sectors " + std::to_string(out.totalSectors) + " end before the root directory does";
  }
  return "";
}

}  // namespace

bool Unit::seedFatImage(const std::string& path, DriveKind kind, std::string* error) {
  std::ifstream image(path, std::ios::binary);
  if (!image) return fail(error, path + ": cannot open");
  image.seekg(0, std::ios::end);
  const auto fileBytes = static_cast<std::uint64_t>(std::max<std::streamoff>(image.tellg(), 0));
  std::uint8_t boot[512];
  image.seekg(0);
  if (fileBytes < sizeof boot || !image.read(reinterpret_cast<char*>(boot), sizeof boot)) {
    return fail(error, path + ": too short for a boot sector");
  }
  BootSector layout{};
  const std::string problem = readBootSector(boot, layout);
  if (!problem.empty()) return fail(error, path + ": " + problem);
  if (layout.rootOffset() + layout.rootBytes() > fileBytes) {
    return fail(error, path + ": truncated: the root directory ends at byte " +
                           std::to_string(layout.rootOffset() + layout.rootBytes()) + " of " +
                           std::to_string(fileBytes));
  }
  Drive drive;
  const std::size_t records = std::min<std::size_t>(layout.rootEntries, kRecords);
  image.seekg(static_cast<std::streamoff>(layout.rootOffset()));
  if (!image.read(reinterpret_cast<char*>(drive.directory.data()),
                  static_cast<std::streamsize>(records * kRecordBytes))) {
    return fail(error, path + ": cannot read the root directory");
  }
  const std::uint64_t sectors = layout.totalSectors * layout.bytesPerSector / 512;
  drive.sectors = static_cast<std::uint32_t>(std::min<std::uint64_t>(sectors, 0xFFFFFFFF));
  std::lock_guard lock(mutex_);
  drives_[kind] = drive;
  return true;
}

}  // namespace sim
