// The unit simulator's logic: two drives with FAT directory tables, the play state, and the
// reply to every command line of the unit interface. It knows nothing of transports: bytes go
// in with receive(), replies come out of the output queue stamped with the time at which the
// unit sends them, so the same logic serves a pseudo-terminal (real time) and the in-memory
// port (virtual time).
//
// Lines end at CR (LF is ignored). Status replies are "R" CR or "E" + two digits + CR; the
// queries "?R", "?D", "?V" answer 4, 16352 and 10 raw bytes. Copy, delete and format answer
// twice: "R" CR when accepted, then, after the completion delay, "R" CR (or an error) when
// done. A refused command changes nothing and never sends a second reply.
//
// Error codes: 04 unknown line, or a copy/rename the unit cannot carry out (table or drive
// full, new name taken); 11 drive not present; 12 clip not present (or nothing cued for
// "PL"/"LP"); 20 drive not formatted (any clip command on it; selecting it, "?R", "?D" and
// "FO" still work, "?D" then serves an empty table).
//
// All members lock one mutex, so a serving thread and a test thread may share a Unit; only
// the references that drive() and playState() return are unguarded: seed and inspect through
// them while nothing is being served, or use the locked seeding calls.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "protocol/DriveKind.h"
#include "sim/Faults.h"
#include "sim/Responder.h"

namespace sim {

constexpr std::size_t kRecordBytes = 32;
constexpr std::size_t kRecords = 511;
constexpr std::size_t kDirectoryBytes = kRecordBytes * kRecords;  // 16352
constexpr std::size_t kNameFieldBytes = 11;

// Attribute bits and markers of a FAT directory record.
constexpr std::uint8_t kAttrVolume = 0x08;
constexpr std::uint8_t kAttrDirectory = 0x10;
constexpr std::uint8_t kAttrArchive = 0x20;
constexpr std::uint8_t kAttrLongName = 0x0F;
constexpr std::uint8_t kFreeMarker = 0x00;
constexpr std::uint8_t kDeletedMarker = 0xE5;

struct Drive {
  std::uint32_t sectors = 65536;                          // capacity in 512-byte sectors (the ?R reply)
  bool present = true;                                    // false: error 11
  bool formatted = true;                                  // false: error 20
  std::array<std::uint8_t, kDirectoryBytes> directory{};  // raw FAT records as served by ?D

  // Adds a file ("NAME.EXT" or "NAME", 8.3, bytes taken as they stand) in the first free or
  // deleted slot; false when the name is not 8.3 or the table is full.
  bool addFile(const std::string& name83, std::uint32_t size);
  // Index of the file record holding the 11-byte name field, or -1. Free, deleted, long-name,
  // volume and sub-directory records never match.
  int find(const std::string& nameField) const;

  // First free (0x00) or deleted (0xE5) slot, or -1 when the table is full.
  int freeSlot() const;
  std::uint32_t fileSize(int index) const;
  // Sum of the sizes of all file records.
  std::uint64_t usedBytes() const;
  // Marks the record deleted, with the long-name records that belong to it.
  void erase(int index);
  // Rewrites name and extension; the long-name records that named the old file go.
  void rename(int index, const std::string& nameField);
  // Empty table (all zero), formatted.
  void format();
};

// "NAME.EXT" -> "NAME    EXT" (8 + 3, blank padded); nullopt when the name is not 8.3.
std::optional<std::string> nameFieldOf(const std::string& name83);

struct PlayState {
  DriveKind selectedDrive = Internal;
  int cuedClip = -1;  // clip number, -1 none
  bool playing = false;
  bool looping = false;
  bool still = false;
};

// A line as the unit received it: when its CR arrived and which drive was selected at that
// moment, so a test can tell which drive a command acted on; and, for copy, delete and format,
// when the last byte of the second reply went out, so a test can tell a wait that outlasted
// the unit's completion from one for a reply that never came.
struct ReceivedLine {
  std::string text;
  std::int64_t atUs;
  DriveKind selectedDrive;
  std::int64_t completedUs;  // -1: no second reply was sent (none due, refused or silenced)
};

constexpr int kDefaultCompletionDelayMs = 300;
constexpr std::int64_t kBytePeriod9600Us = 1042;  // 10 bits a byte at 9600 baud
inline const char* const kDefaultRevision = "DVX 2.13a";
constexpr std::size_t kRevisionBytes = 10;

class Unit : public Responder {
 public:
  Unit();

  Drive& drive(DriveKind kind) { return drives_[kind]; }
  const PlayState& playState() const { return play_; }

  // "NAME.EXT size" per line, under "[internal]" / "[removable]" headings, each optionally
  // with "capacity <sectors>", "absent", "unformatted"; '#' starts a comment. A heading resets
  // its drive; drives without one stay as they were. On error nothing changes and *error
  // names the line.
  bool seedManifest(const std::string& text, std::string* error = nullptr);
  // Copies the root directory region of a FAT12/16 image into a drive's table as it stands
  // (the first 511 records) and takes its size as the capacity. On error nothing changes.
  bool seedFatImage(const std::string& path, DriveKind kind, std::string* error = nullptr);

  // Timing: 0 replies at once; kBytePeriod9600Us paces at 9600 baud.
  void setBytePeriodUs(std::int64_t us);
  // Delay before the second reply of copy, delete and format; 0 finishes at once, within the
  // program's drain after the first reply.
  void setCompletionDelayMs(int ms);
  // The "?V" reply: the first 10 bytes of text, padded with blanks.
  void setRevision(const std::string& text);
  void addFault(const FaultRule& rule);
  void clearFaults();
  // Called with every completed line (without CR), outside the lock, on the receiving thread.
  void setLineObserver(std::function<void(const std::string&)> observer);

  // Feeds one byte from the program, received at nowUs. A CR completes a line.
  void receive(std::uint8_t byte, std::int64_t nowUs) override;
  // The next byte the unit sends, if any is queued (whatever its time).
  std::optional<OutputByte> peekOutput() const override;
  void popOutput() override;

  // Every line received, without its CR, in order.
  std::vector<std::string> receivedLines() const;
  // The same lines with their arrival times and selected drives.
  std::vector<ReceivedLine> receivedLog() const;
  void clearReceivedLines();

 private:
  // A command's replies: the first at once, the second (copy, delete, format) when done.
  struct Response {
    std::string first;
    std::optional<std::string> second;
  };
  void dispatch(const std::string& line, std::int64_t nowUs);
  std::int64_t emit(const std::string& reply, const FaultRule* fault, std::int64_t startUs);
  void pushByte(int value, std::int64_t earliestUs);
  FaultRule* armedFault(const std::string& line, Reply reply);
  void consume(FaultRule* rule);

  Response execute(const std::string& line);
  Response select(DriveKind kind);
  Response capacity() const;
  Response directory() const;
  Response cue(int clip);
  Response play(bool looped);
  Response still();
  Response copy(const std::string& nameField, DriveKind to);
  Response erase(const std::string& nameField);
  Response format();
  Response rename(const std::string& oldField, const std::string& newField);

  mutable std::mutex mutex_;
  std::array<Drive, 2> drives_;
  PlayState play_;
  std::string revision_;
  std::int64_t bytePeriodUs_ = 0;
  int completionDelayMs_ = kDefaultCompletionDelayMs;
  std::vector<FaultRule> faults_;
  std::function<void(const std::string&)> observer_;
  std::string line_;
  std::deque<OutputByte> output_;
  std::int64_t tailUs_ = 0;  // time of the last byte queued
  std::vector<ReceivedLine> received_;
};

}  // namespace sim
