// The fault matrix: every command line the program sends, each against every way the unit can
// misbehave. A command names the replies a fault is armed on, what the user does to send it,
// and what the user must see for each fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "FaultWorld.h"
#include "sim/Faults.h"
#include "ui/ExplorerDialog.h"

namespace faults {

enum class Mode {
  Silence,
  NoiseBefore,
  RWithoutCr,
  DoubleR,
  UnknownCode00,
  UnknownCode13,
  Code04,
  Code11,
  Code12,
  Code20,
  Truncated,
  Surplus,
  ContinuousNoise,  // longer than a byte's limit, shorter than the whole reply's bound
  EndlessNoise,     // longer than the whole reply's bound
  CloseLine,
  JustInsideLimit,   // the reply starts 1 ms before the program's limit runs out
  JustOutsideLimit,  // and 1 ms after
};

// What a fault makes of a status reply ("R" CR or "E" code CR) for a correct reader.
enum class Effect { Transparent, NoReply, LineGone, Code04, Code11, Code12, Code20 };

struct FaultMode {
  const char* name;
  Mode mode;
  Effect effect;
};

extern const std::vector<FaultMode> kFaultModes;

// One reply a fault is armed on, with the limit the program gives each of its bytes.
struct Target {
  const char* command;  // the mnemonic the line ends with
  sim::Reply reply;
  int limitMs;
  int replyBytes;  // length of the normal reply
  int times = -1;  // lines it applies to
};

// The rule for a target on a unit whose completions come completionDelayMs after the first
// reply (the program starts waiting for them once its 100 ms drain has ended).
sim::FaultRule ruleFor(const Target& target, const FaultMode& fault, int completionDelayMs);
// How much later than normal the unit finishes the reply: a delay, or the noise before it.
std::int64_t unitDelayMs(const Target& target, const FaultMode& fault, int completionDelayMs);

using Window = platform::memory::MemoryExplorerWindow;

struct Command {
  const char* name;
  std::vector<Target> targets;
  // The drive the user acts on (a copy: its target) and the files there the action may remove;
  // a format the user confirmed may remove them all. Nothing else may go anywhere.
  DriveKind actedOn;
  std::vector<std::string> mayLose;
  bool armedBeforeStartup;  // the probe: its lines are sent by the start-up itself
  void (*run)(ExplorerDialog& dialog, Window& window, SteadyUser& user);
  // Message boxes by caption, dialogs by template number, in the order shown.
  std::vector<std::string> (*expectedShown)(const FaultMode& fault);
  // The fault leaves what the user sees and the lines sent as they are without it.
  bool (*isTransparent)(const FaultMode& fault);
};

extern const std::vector<Command> kCommands;

// What the about box shows for a fault of "?V".
std::string expectedRevision(Mode mode);

// The destructive lines (copy, delete, format, rename), by the mnemonic they end with.
bool isDestructive(const std::string& line);

}  // namespace faults
