// The unit simulator's logic: two drives with FAT directory tables, the play state, and the
// reply to every command line of the unit interface. It knows nothing of transports: bytes go
// in with receive(), replies come out of the output queue stamped with the time at which the
// unit sends them, so the same logic serves a pseudo-terminal (real time) and the in-memory
// port (virtual time).
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "protocol/DriveKind.h"
#include "sim/Faults.h"

namespace sim {

constexpr std::size_t kRecordBytes = 32;
constexpr std::size_t kRecords = 511;
constexpr std::size_t kDirectoryBytes = kRecordBytes * kRecords;  // 16352

struct Drive {
  std::uint32_t sectors = 65536;  // capacity in 512-byte sectors (the ?R reply)
  bool present = true;            // false: error 11
  bool formatted = true;          // false: error 20
  std::array<std::uint8_t, kDirectoryBytes> directory{};  // raw FAT records as served by ?D

  // Adds a file in the first free or deleted slot; false when the table is full.
  bool addFile(const std::string& name83, std::uint32_t size);
  // Index of the record holding the 11-byte name field, or -1.
  int find(const std::string& nameField) const;
};

struct PlayState {
  DriveKind selectedDrive = Internal;
  int cuedClip = -1;  // clip number, -1 none
  bool playing = false;
  bool looping = false;
  bool still = false;
};

struct OutputByte {
  std::int64_t atUs;  // when the unit puts it on the line
  int value;          // 0..255, or kLineClosed
};
constexpr int kLineClosed = -1;

class Unit {
 public:
  Unit();

  Drive& drive(DriveKind kind) { return drives_[kind]; }
  const PlayState& playState() const { return play_; }

  // "NAME.EXT size" per line, under "[internal]" / "[removable]" headings; '#' comments.
  bool seedManifest(const std::string& text, std::string* error = nullptr);
  // Copies the root directory region of a FAT12/16 image into a drive's table as it stands.
  bool seedFatImage(const std::string& path, DriveKind kind, std::string* error = nullptr);

  // Timing: 0 replies at once; 1042 paces at 9600 baud (10 bits a byte).
  void setBytePeriodUs(std::int64_t us) { bytePeriodUs_ = us; }
  // Delay before the second reply of copy, delete and format.
  void setCompletionDelayMs(int ms) { completionDelayMs_ = ms; }
  void addFault(const FaultRule& rule);
  void clearFaults();

  // Feeds one byte from the program, received at nowUs. A CR completes a line.
  void receive(std::uint8_t byte, std::int64_t nowUs);
  // The next byte the unit sends, if any is queued (whatever its time).
  std::optional<OutputByte> peekOutput() const;
  void popOutput();

  // Every line received, without its CR, in order.
  std::vector<std::string> receivedLines() const;
  void clearReceivedLines();

 private:
  // (implementation members)
  mutable std::mutex mutex_;
  std::array<Drive, 2> drives_;
  PlayState play_;
  std::int64_t bytePeriodUs_ = 0;
  int completionDelayMs_ = 0;
  std::vector<FaultRule> faults_;
  std::string line_;
  std::deque<OutputByte> output_;
  std::vector<std::string> received_;
};

}  // namespace sim
