#include "Directories.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace sequence {

namespace {

constexpr std::size_t kAttrOffset = 11;
constexpr std::uint8_t kE5StandIn = 0x05;
constexpr std::uint8_t kDotMarker = 0x2E;
constexpr std::size_t kFirstBlockRecords = 4096 / sim::kRecordBytes;

bool isWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool isNameCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

void trimTrailingWhiteSpace(std::string& text) {
  while (!text.empty() && isWhiteSpace(text.back())) text.pop_back();
}

// A byte no name may carry onto the line, somewhere after the first character (a NUL there
// would end the directory) and never in place of the dot.
std::string withOddByte(std::string name, Random& random) {
  static const char kOdd[] = {'\r', '\0', '\x01', '\x1B', '\n', '\t', '\x7F', '\xC4'};
  std::size_t at = 1 + static_cast<std::size_t>(random.below(static_cast<int>(name.size()) - 1));
  if (name[at] == '.') --at;
  name[at] = random.pick(kOdd);
  return name;
}

bool add(sim::Drive& drive, const std::string& name, std::uint32_t size) {
  const auto field = sim::nameFieldOf(name);
  return field && drive.find(*field) < 0 && drive.addFile(name, size);
}

std::uint8_t* freeRecord(sim::Drive& drive) {
  const int slot = drive.freeSlot();
  return slot < 0 ? nullptr : drive.directory.data() + static_cast<std::size_t>(slot) * sim::kRecordBytes;
}

void addLongName(sim::Drive& drive) {
  if (std::uint8_t* record = freeRecord(drive)) {
    std::fill(record, record + sim::kRecordBytes, 0xFF);
    record[0] = 0x41;  // the last (and only) long-name part
    record[kAttrOffset] = sim::kAttrLongName;
  }
}

void addVolumeLabel(sim::Drive& drive) {
  if (std::uint8_t* record = freeRecord(drive)) {
    std::fill(record, record + sim::kRecordBytes, 0);
    std::memcpy(record, "DORVIK     ", sim::kNameFieldBytes);
    record[kAttrOffset] = sim::kAttrVolume;
  }
}

void addRecord(sim::Drive& drive, Random& random) {
  const auto size = static_cast<std::uint32_t>(random.chance(5) ? 0 : random.below(20'000'000));
  const int kind = random.below(100);
  if (kind < 55) {
    add(drive, clipName(random), size);
  } else if (kind < 61) {
    add(drive, lowerCase(clipName(random)), size);
  } else if (kind < 67) {
    const std::string stem = nameCharacters(random, 1 + random.below(8));
    const std::string extension = nameCharacters(random, random.below(3));
    add(drive, extension.empty() ? stem : stem + "." + extension, size);
  } else if (kind < 72) {
    const std::string stem = nameCharacters(random, 7 + random.below(2));
    add(drive, stem + "." + nameCharacters(random, 1 + random.below(2)), size);
    add(drive, stem, size / 2);
  } else if (kind < 78) {
    add(drive, withOddByte(clipName(random), random), size);
  } else if (kind < 81) {
    std::string deleted = clipName(random);
    deleted[0] = '\xE5';  // the mark of a deleted record
    add(drive, deleted, size);
  } else if (kind < 87) {
    addLongName(drive);
    add(drive, clipName(random), size);
  } else if (kind < 93) {
    const std::string name = clipName(random);
    if (add(drive, name, size)) drive.erase(drive.find(*sim::nameFieldOf(name)));
  } else if (kind < 96) {
    addVolumeLabel(drive);
  } else {
    add(drive, clipName(random), size);
  }
}

}  // namespace

std::string nameCharacters(Random& random, int count) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::string text;
  for (int i = 0; i < count; ++i) text.push_back(kAlphabet[random.below(36)]);
  return text;
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

std::string clipName(Random& random) {
  static const char* const kPlayable[] = {"VID00%03d.MPG", "VID00%03d.DKV", "SND00%03d.WAV", "SND00%03d.MP3",
                                          "PLY00%03d.LST"};
  static const char* const kOther[] = {"COMMAND1.BAT", "COMMAND2.BAT", "NOTES.TXT", "README.DOC", "LOGO.BMP"};
  if (!random.chance(80)) return random.pick(kOther);
  char name[16];
  std::snprintf(name, sizeof name, random.pick(kPlayable), random.below(40));
  return name;
}

void fillDrive(sim::Drive& drive, Random& random) {
  drive = sim::Drive{};
  // Now and then a small drive, so that a copy finds it full.
  drive.sectors = random.chance(10) ? 100 + random.below(40000) : 4'000'000;
  for (int i = 0, count = random.below(25); i < count; ++i) addRecord(drive, random);
}

void insertCard(sim::Drive& drive, Random& random) {
  fillDrive(drive, random);
  drive.present = !random.chance(15);
  if (random.chance(15)) {
    drive.directory.fill(0);
    drive.formatted = false;
  }
}

std::optional<std::string> labelOf(const Record& record) {
  if ((record[kAttrOffset] & sim::kAttrLongName) == sim::kAttrLongName) return std::nullopt;
  if (record[0] == sim::kFreeMarker || record[0] == sim::kDeletedMarker || record[0] == kDotMarker) return std::nullopt;
  std::string name(record.begin(), record.begin() + 8);
  if (record[0] == kE5StandIn) name[0] = static_cast<char>(sim::kDeletedMarker);
  trimTrailingWhiteSpace(name);
  name += ' ';
  name.append(record.begin() + 8, record.begin() + 11);
  if (name.find(' ', name.size() - 3) == std::string::npos) name[name.size() - 4] = '.';
  trimTrailingWhiteSpace(name);
  return name;
}

// As a listing walks the table: from the first record of the first block in use to the first
// free record.
Clips clipsOf(const sim::Drive& drive) {
  Clips clips;
  if (!drive.present || !drive.formatted) return clips;
  const auto recordAt = [&drive](std::size_t index) {
    Record record;
    std::copy_n(drive.directory.begin() + static_cast<std::ptrdiff_t>(index * sim::kRecordBytes), record.size(),
                record.begin());
    return record;
  };
  std::size_t index = 0;
  while (index < kFirstBlockRecords && recordAt(index)[0] == sim::kFreeMarker) ++index;
  if (index == kFirstBlockRecords) return clips;
  for (; index < sim::kRecords && recordAt(index)[0] != sim::kFreeMarker; ++index) {
    if (labelOf(recordAt(index))) clips.push_back(recordAt(index));
  }
  std::sort(clips.begin(), clips.end());
  return clips;
}

std::vector<std::string> labelsOf(const Clips& clips) {
  std::vector<std::string> labels;
  for (const Record& record : clips) labels.push_back(*labelOf(record));
  std::sort(labels.begin(), labels.end());
  return labels;
}

std::string fieldOf(const std::string& label) {
  auto split = label.find('.');
  if (split == std::string::npos) split = label.find(' ');
  std::string stem = label.substr(0, split);
  std::string extension = split == std::string::npos ? "" : label.substr(split + 1);
  stem.resize(8, ' ');
  extension.resize(3, ' ');
  return stem + extension;
}

std::optional<std::string> validField(const std::string& typed) {
  std::string upper = typed;
  for (char& c : upper) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  const auto dot = upper.find('.');
  const std::string stem = upper.substr(0, dot);
  const std::string extension = dot == std::string::npos ? "" : upper.substr(dot + 1);
  const auto letters = [](const std::string& text) { return std::all_of(text.begin(), text.end(), isNameCharacter); };
  if (stem.empty() || stem.size() > 8 || extension.size() > 3 || !letters(stem) || !letters(extension))
    return std::nullopt;
  // A full name part needs an extension after its dot.
  if (stem.size() == 8 && dot != std::string::npos && extension.empty()) return std::nullopt;
  return fieldOf(upper.substr(0, dot) + "." + extension);
}

std::string printable(const std::string& text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\') {
      out.push_back(c);
      continue;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    out += hex;
  }
  return out;
}

int playableNumber(const std::string& label) {
  static const char* const kPlayable[] = {"VID00MPG", "VID00DKV", "SND00DKS", "SND00SFD",
                                          "SND00WAV", "SND00MP3", "PLY00LST", "PLY00RND"};
  if (label.size() != 12 || label[8] != '.') return -1;
  if (!std::all_of(label.begin() + 5, label.begin() + 8, [](char c) { return c >= '0' && c <= '9'; })) return -1;
  for (const char* kind : kPlayable) {
    if (label.compare(0, 5, kind, 5) == 0 && label.compare(9, 3, kind + 5, 3) == 0)
      return std::stoi(label.substr(5, 3));
  }
  return -1;
}

}  // namespace sequence
