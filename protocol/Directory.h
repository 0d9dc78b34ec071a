// Directory: what a drive listing makes of the unit's raw replies, as plain functions.
//
// The unit answers "?R" with 4 bytes (a sector count in bytes 1 to 3, most significant
// first) and "?D" with 511 FAT directory records of 32 bytes. These helpers turn a record
// into the texts of a list row (Name, Length, Size), classify clip names, give each row its
// sort key and build a drive's summary line. None of them touches a window or the line, so
// every rule here is tested from tables of raw bytes.
//
// Any byte may arrive from the unit: names keep their bytes as they stand (control bytes and
// bytes above 127 included), and nothing here reads outside the record it is given.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace directory {

constexpr std::size_t kRecordBytes = 32;
constexpr std::size_t kRecordCount = 511;
constexpr std::size_t kListingBytes = kRecordBytes * kRecordCount;  // 16352
constexpr std::size_t kCapacityReplyBytes = 4;

// The four blocks in which "?D" is read, one progress step each.
constexpr std::array<std::size_t, 4> kBlockBytes = {4096, 4096, 4096, 4064};

// Bytes of a clip's running length in one second.
constexpr std::uint32_t kBytesPerSecond = 176400;

using Record = std::array<std::uint8_t, kRecordBytes>;
using Listing = std::array<std::uint8_t, kListingBytes>;

// Capacity in bytes from the "?R" reply: sectors x 512, in 64 bits so no drive wraps.
std::uint64_t capacityBytes(const std::array<std::uint8_t, kCapacityReplyBytes>& reply);

// The directory as the walk reads it: raw (the four blocks at their places, bytes that never
// arrived left 0) from the first record of the first block that is in use on, the later
// blocks following without a gap, zeros after. A first block with no record in use is
// taken whole.
void packListing(const Listing& raw, Listing& packed);

// "NAME.EXT" of a record, or nullopt for a record that is not listed: long-name records
// (attribute low bits 0x0F), deleted records (0xE5) and the dot records (0x2E). A leading
// 0x05 stands for 0xE5. Trailing white space of name and extension is dropped; an extension
// that is not three characters keeps a blank in place of the dot ("README TX").
std::optional<std::string> recordName(const std::uint8_t* record);

// Bytes 28 to 31, little-endian.
std::uint32_t recordSize(const std::uint8_t* record);

// Running length at kBytesPerSecond, "HH:MM:SS" (a 32-bit size stays below 7 hours).
std::string lengthTextOf(std::uint32_t size);

// Thousands of bytes, grouped, at least 1: "1KB" for 0 to 1999 bytes, "1,234KB".
std::string sizeTextOf(std::uint32_t size);

// Reading a row's Size text back, for a renamed clip whose directory is not read again:
// its first character and the characters between it and the last one, without "," "K" "B",
// read as thousands of bytes. Any text is safe: no digits give 0, and figures beyond what a
// 32-bit size can show (4,294,967KB) are held at that figure.
std::uint32_t kilobytesOfSizeText(const std::string& sizeText);
// The Length text ("HH:MM:SS") of a clip whose row shows sizeText.
std::string lengthOfSizeText(const std::string& sizeText);

// Decimal with "," between groups of three digits: 1234567 -> "1,234,567".
std::string groupDigits(std::uint64_t value);

// "<used>KB (Disk free space: <free>MB)" with used / 1000 and (capacity - used) / 1,000,000;
// free shows 0 once more is used than the capacity.
std::string summaryText(std::uint64_t usedBytes, std::uint64_t capacityBytes);

// Leading white space skipped, an optional sign, then digits up to the first non-digit; no
// digits give 0. Values beyond 32 bits saturate.
std::int32_t decimalValue(std::string_view text);

}  // namespace directory

// Clip kinds of a 12-character name; every other name is OtherFile. Kinds up to PlayList
// are the playable ones.
enum ClipKind : unsigned {
  VideoClip = 0,    // VID00ddd.MPG, .DKV
  SoundClip = 1,    // SND00ddd.DKS, .SFD, .WAV, .MP3
  PlayList = 2,     // PLY00ddd.LST, .RND
  CommandFile = 3,  // COMMANDd.BAT
  OtherFile = 10,
};

// Exact, case-sensitive match against the patterns above.
unsigned clipKind(std::string_view name);

// The image of a listed row: the kind for kinds 0 to 3, else 4.
int clipImage(unsigned kind);

// The sort key a listing gives a row: the clip number (the decimal value of characters 4 to 8
// counting from 1) for kinds 0 to 2, 0 for a command file, -1 for any other name.
std::int32_t listingSortKey(std::string_view name);

// The one compare function of every list sort, on two rows' keys. Sort codes: 1 name
// descending, 2 name ascending, 3 length descending, 4 length ascending (and 6 ascending).
int compareSortKeys(std::int32_t first, std::int32_t second, std::int32_t sortCode);

using directory::groupDigits;
