// The desktop program's own options, shared by its front-ends, and the wire trace that any of
// the programs starts from an option or from the environment.
#pragma once

#include <filesystem>
#include <string>

struct DesktopOptions {
  bool configFolder = false;  // --config-folder: work in the program's own settings folder
  std::string trace;          // --trace FILE
  std::string problem;        // what is wrong with the command line; empty when nothing
};

// Reads --config-folder and --trace FILE wherever they stand; other words are the toolkit's.
DesktopOptions parseDesktopOptions(int argc, const char* const* argv);

// The folder the desktop menu's entry works in, where its "mav.cfg" and COMn links live:
// $XDG_CONFIG_HOME/dorvik-explorer, else ~/.config/dorvik-explorer (POSIX, app/posix/);
// %APPDATA%\Dorvik Explorer (Windows, app/win32/); empty when no variable says where.
std::filesystem::path desktopFolder();
// Makes desktopFolder() and works in it. Empty text on success, else why not, in words for
// the user: the program then goes on in the current folder.
std::string enterDesktopFolder();

// Starts the wire trace into path, or into the file DORVIK_TRACE names when path is empty;
// nothing when neither names one. Empty text on success, else the file and why it cannot be
// written: the program must then not start, as the user asked for a trace.
std::string startWireTrace(const std::string& path, const std::string& program);
