// The command line of `dorvik`: one command with its operands and options, or why the line
// is not one. Options may stand anywhere after the program's name.
#pragma once

#include <optional>
#include <string>

#include "protocol/DriveKind.h"

namespace cli {

enum class Command { Probe, List, Copy, Delete, Rename, Format, Play, Still, Stop, Revision, Ports };

struct Arguments {
  Command command = Command::Probe;
  std::string name;                // copy, delete, rename (the old name), play
  std::string newName;             // rename
  std::optional<DriveKind> drive;  // list (none: both), --to, --drive, format's operand
  bool loop = false;
  std::string port;     // --port as given: COM1..COM4 or a device path; empty: DORVIK_PORT, "mav.cfg"
  int waitSeconds = 0;  // --wait: how long a port that will not open yet is tried again
  std::string trace;    // --trace FILE; empty: DORVIK_TRACE, if set
  bool json = false;
  bool yes = false;
  bool help = false;  // --help: the program's usage, or the command's when one is named
  bool commandNamed = false;
};

// The parsed line, or the problem in words in `problem`.
std::optional<Arguments> parseArguments(int argc, const char* const* argv, std::string& problem);

// Usage texts: the program's, or one command's.
std::string programUsage();
std::string commandUsage(Command command);

}  // namespace cli
