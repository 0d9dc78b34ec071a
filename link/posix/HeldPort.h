// The one port this process holds open, known outside its object so that a signal handler,
// where no destructor runs, can still put it back as it was found.
#pragma once

#include <termios.h>

namespace held {

// Records fd, opened exclusively, and the settings it had before the program changed them.
void hold(int fd, const termios& found);
// Forgets it: the port's own close is under way.
void letGo();

}  // namespace held
