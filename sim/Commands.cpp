// What each command line does to the unit's drives and play state, and what it answers.
// Replies are built here as plain byte strings; Unit.cpp times them and applies faults.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "sim/Unit.h"

namespace sim {

namespace {

const std::string kDone = "R\r";
constexpr std::uint32_t kLargestSectorCount = 0xFFFFFF;  // three bytes in the ?R reply

std::string error(const char* code) { return std::string("E") + code + "\r"; }

bool endsWith(const std::string& text, const char* suffix) {
  const std::string tail(suffix);
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

bool isCueLine(const std::string& line) {
  return line.size() == 5 && endsWith(line, "SE") &&
         std::all_of(line.begin(), line.begin() + 3, [](char c) { return c >= '0' && c <= '9'; });
}

// The unit plays video clips, sounds and play lists: VID/SND/PLY, "00", the clip number.
bool hasPlayable(const Drive& drive, int clip) {
  struct Kind {
    const char* prefix;
    std::vector<const char*> extensions;
  };
  static const Kind kKinds[] = {
      {"VID", {"MPG", "DKV"}}, {"SND", {"DKS", "SFD", "WAV", "MP3"}}, {"PLY", {"LST", "RND"}}};
  for (const Kind& kind : kKinds) {
    char stem[16];
    std::snprintf(stem, sizeof stem, "%s%05d", kind.prefix, clip);
    for (const char* extension : kind.extensions) {
      if (drive.find(std::string(stem) + extension) >= 0) return true;
    }
  }
  return false;
}

}  // namespace

Unit::Response Unit::execute(const std::string& line) {
  if (line == "0SL") return select(Internal);
  if (line == "1SL") return select(Removable);
  if (line == "?R") return capacity();
  if (line == "?D") return directory();
  if (line == "?V") return {revision_, {}};
  if (line == "PL") return play(false);
  if (line == "LP") return play(true);
  if (line == "ST") return still();
  if (line == "FO") return format();
  if (isCueLine(line)) return cue(std::stoi(line.substr(0, 3)));
  if (line.size() == kNameFieldBytes + 2) {
    const std::string field = line.substr(0, kNameFieldBytes);
    if (endsWith(line, "CI")) return copy(field, Internal);
    if (endsWith(line, "CR")) return copy(field, Removable);
    if (endsWith(line, "DL")) return erase(field);
  }
  if (line.size() == 2 * kNameFieldBytes + 2 && endsWith(line, "RN")) {
    return rename(line.substr(0, kNameFieldBytes), line.substr(kNameFieldBytes, kNameFieldBytes));
  }
  return {error("04"), {}};
}

// A refused selection leaves the old one (and whatever plays) alone.
Unit::Response Unit::select(DriveKind kind) {
  if (!drives_[kind].present) return {error("11"), {}};
  play_ = PlayState{};
  play_.selectedDrive = kind;
  return {kDone, {}};
}

Unit::Response Unit::capacity() const {
  const Drive& drive = drives_[play_.selectedDrive];
  const std::uint32_t sectors = drive.present ? std::min(drive.sectors, kLargestSectorCount) : 0;
  std::string reply(4, '\0');
  reply[1] = static_cast<char>(sectors >> 16);
  reply[2] = static_cast<char>(sectors >> 8);
  reply[3] = static_cast<char>(sectors);
  return {reply, {}};
}

// A drive the unit cannot read still answers with the full block, all records empty.
Unit::Response Unit::directory() const {
  const Drive& drive = drives_[play_.selectedDrive];
  if (!drive.present || !drive.formatted) return {std::string(kDirectoryBytes, '\0'), {}};
  return {std::string(drive.directory.begin(), drive.directory.end()), {}};
}

Unit::Response Unit::cue(int clip) {
  const Drive& drive = drives_[play_.selectedDrive];
  if (!drive.present) return {error("11"), {}};
  if (!drive.formatted) return {error("20"), {}};
  if (!hasPlayable(drive, clip)) return {error("12"), {}};
  play_.cuedClip = clip;
  play_.playing = play_.looping = play_.still = false;
  return {kDone, {}};
}

// The cued clip may have gone since it was cued (deleted, drive formatted or ejected).
Unit::Response Unit::play(bool looped) {
  const Drive& drive = drives_[play_.selectedDrive];
  if (!drive.present) return {error("11"), {}};
  if (play_.cuedClip < 0 || !hasPlayable(drive, play_.cuedClip)) return {error("12"), {}};
  play_.playing = true;
  play_.looping = looped;
  play_.still = false;
  return {kDone, {}};
}

// Still freezes whatever is on the output, so it needs no clip.
Unit::Response Unit::still() {
  play_.playing = false;
  play_.still = true;
  return {kDone, {}};
}

// Copies the source record as FAT copies a file: into the first free or deleted slot, or
// over a file of the same name. A full table or drive fails the copy in its second reply.
Unit::Response Unit::copy(const std::string& nameField, DriveKind to) {
  Drive& target = drives_[to];
  const Drive& source = drives_[to == Internal ? Removable : Internal];
  if (!source.present || !target.present) return {error("11"), {}};
  if (!source.formatted || !target.formatted) return {error("20"), {}};
  const int from = source.find(nameField);
  if (from < 0) return {error("12"), {}};
  const int existing = target.find(nameField);
  const std::uint64_t freed = existing >= 0 ? target.fileSize(existing) : 0;
  const std::uint64_t capacity = static_cast<std::uint64_t>(target.sectors) * 512;
  const int slot = existing >= 0 ? existing : target.freeSlot();
  if (slot < 0 || target.usedBytes() - freed + source.fileSize(from) > capacity) {
    return {kDone, error("04")};
  }
  std::copy_n(source.directory.begin() + from * kRecordBytes, kRecordBytes,
              target.directory.begin() + slot * kRecordBytes);
  return {kDone, kDone};
}

Unit::Response Unit::erase(const std::string& nameField) {
  Drive& drive = drives_[play_.selectedDrive];
  if (!drive.present) return {error("11"), {}};
  if (!drive.formatted) return {error("20"), {}};
  const int index = drive.find(nameField);
  if (index < 0) return {error("12"), {}};
  drive.erase(index);
  return {kDone, kDone};
}

Unit::Response Unit::format() {
  Drive& drive = drives_[play_.selectedDrive];
  if (!drive.present) return {error("11"), {}};
  drive.format();
  const DriveKind selected = play_.selectedDrive;
  play_ = PlayState{};
  play_.selectedDrive = selected;
  return {kDone, kDone};
}

// A new name that another file already has is refused: FAT allows no two such records.
Unit::Response Unit::rename(const std::string& oldField, const std::string& newField) {
  Drive& drive = drives_[play_.selectedDrive];
  if (!drive.present) return {error("11"), {}};
  if (!drive.formatted) return {error("20"), {}};
  const int index = drive.find(oldField);
  if (index < 0) return {error("12"), {}};
  const int taken = drive.find(newField);
  if (taken >= 0 && taken != index) return {error("04"), {}};
  drive.rename(index, newField);
  return {kDone, {}};
}

}  // namespace sim
