// The user's actions, each drawn from a seed of its own, so that a sequence stays the same
// step for step when a shrink drops others. A step says which handler the user reaches for;
// its seed decides the rest (which row, what name, how the unit and the user behave).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Behaviours.h"
#include "World.h"

namespace sequence {

enum class Act { Select, Copy, Delete, Format, Rename, Play, DoubleClick, Still, Stop, Loop, Refresh, About, NewCard };

struct Step {
  Act act;
  std::uint32_t seed;
};

const char* nameOf(Act act);
Act drawAct(Random& random);

// A change to a drive of the unit that the user asked for and confirmed.
struct Change {
  enum Kind { CopyIn, Erase, Rename, Format } kind;
  DriveKind drive;         // the drive it changes
  std::string label{};     // the row acted on (for CopyIn, a row of the other drive)
  std::string newField{};  // Rename
};

// What a step asked of the unit, for the invariants to judge its outcome by.
struct Intent {
  Mood mood = Mood::Healthy;
  DriveKind current = Removable;  // the drive the window addressed
  std::vector<Change> changes;    // in the order they may happen
  bool refreshed = false;
  bool cardChanged = false;
  std::optional<std::string> played;  // the row Play was pressed on
};

// Runs one step through the window's public handlers and the user's answers.
Intent perform(World& world, const Step& step);

}  // namespace sequence
