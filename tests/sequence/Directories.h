// The unit's drives as the sequence tester sees them: random directory tables holding the
// records a card may really hold, odd ones included, and the few rules needed to judge what
// the program did with them: the label a listing shows for a record, the 11-byte field a
// label or a typed name stands for, and a drive's clips as a multiset of records.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "Random.h"
#include "sim/Unit.h"

namespace sequence {

using Record = std::array<std::uint8_t, sim::kRecordBytes>;
using Clips = std::vector<Record>;  // sorted: where a record stands in the table does not matter

// A clip name as the unit's naming has them (VID00007.MPG, SND00012.WAV, PLY00003.LST,
// COMMAND1.BAT, NOTES.TXT); clip numbers are few, so names meet across drives and kinds.
std::string clipName(Random& random);
// count random letters and digits; a text with its letters in lower case.
std::string nameCharacters(Random& random, int count);
std::string lowerCase(std::string text);

// A table of up to two dozen records: clips of every kind, and now and then a lower-case
// name, an extension of 0 to 2 characters (beside the name that drops it, which a wrong
// field would hit), CR, NUL or another control byte in a name, a leading 0xE5 (stored as
// 0x05), a long-name record, a deleted record or a volume label.
void fillDrive(sim::Drive& drive, Random& random);
// A card put into the Removable Drive: a new table; now and then no card, or an unformatted
// one (which holds nothing a listing could read).
void insertCard(sim::Drive& drive, Random& random);

// The label a listing shows for a record: name and extension with trailing white space
// dropped, a dot before a full extension and a blank before a shorter one, 0x05 shown as
// 0xE5; nothing for a record a listing leaves out (long-name, deleted, dot).
std::optional<std::string> labelOf(const Record& record);
// The records a listing of the drive shows (nothing for a drive it cannot read), sorted.
Clips clipsOf(const sim::Drive& drive);
std::vector<std::string> labelsOf(const Clips& clips);  // sorted
// The 11-byte field a label stands for: split at its dot, or at its first blank without one.
std::string fieldOf(const std::string& label);
// The field a typed name goes out as when it keeps the unit's name rule (1 to 8 letters or
// digits, a dot and up to 3 more, any letter case), else nothing.
std::optional<std::string> validField(const std::string& typed);
// The text with every byte outside printable ASCII (and '\\') written as \xHH.
std::string printable(const std::string& text);
// The clip number of a name the unit plays (VID00ddd.MPG, SND00ddd.WAV, ...), else -1.
int playableNumber(const std::string& label);

}  // namespace sequence
