// Which port `dorvik` works on and where the ports lead: --port, else DORVIK_PORT, else the
// port "mav.cfg" names; COMn links and "mav.cfg" are looked for in the current folder, then in
// the desktop program's working folder ($XDG_CONFIG_HOME/dorvik-explorer), so that both
// programs find the same port.
#pragma once

#include <ostream>
#include <string>

#include "cli/Arguments.h"

namespace cli {

// Opens the port for arguments, waiting up to --wait seconds for one that will not open yet.
// The port's name for messages, or empty after the failure was told (status set).
std::string openPort(const Arguments& arguments, int& status);

// `dorvik ports`: COM1..COM4, where each leads and why, then the ports beyond them.
int showPorts(const Arguments& arguments, std::ostream& out);

}  // namespace cli
