// One `dorvik` command against the unit: the port opened and probed as the window's start-up
// does, then the window's own handlers run on in-memory lists, so every line on the wire is
// the line the window sends for the same action.
#pragma once

#include <ostream>

#include "cli/Arguments.h"
#include "cli/ConsoleDesktop.h"

namespace cli {

// Runs arguments' command, printing its result on out; returns the exit status.
int runCommand(const Arguments& arguments, std::ostream& out);

}  // namespace cli
