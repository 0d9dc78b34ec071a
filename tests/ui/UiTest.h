// The explorer window's tests share this fixture: the simulator behind the in-memory port on
// a virtual clock, plus helpers that stock a drive and put its rows in the list as a listing
// would, so that each test starts from the rows it names. Every test ends with the wait
// cursor balanced.
#pragma once

#include <string>
#include <vector>

#include "support/ExplorerFixture.h"

class UiTest : public ExplorerFixture {
 protected:
  void TearDown() override;

  // Puts the files on the unit's drive (replacing what it held) and one row per file into
  // the drive's list, in the given order, with Length and Size as a listing shows them.
  void stock(DriveKind drive, const std::vector<std::string>& names);
  // Adds a row to the list only; returns its index.
  int addRow(DriveKind drive, const std::string& name, const std::string& length = "", const std::string& size = "");
  void selectRow(DriveKind drive, const std::string& name);
  void focus(DriveKind drive) { list(drive).setFocus(); }
  // What the window's start does: initialise, then the first tab stop gets the focus.
  void initialise();

  // How often the wait cursor went up from the normal cursor, and whether it ever went below.
  int outerWaits() const;
  bool cursorBalanced() const;
  std::vector<int> menus() const;
  std::vector<platform::memory::Shown::Kind> shownKinds() const;
};

// A simulator fault on the next `times` lines that end in command.
sim::FaultRule faultOn(const std::string& command, sim::Fault fault, const std::string& code = "", int count = 0,
                       int times = 1);

// The texts of the boxes the tests expect, as "caption|text".
inline const std::string kNotValidBox = "File Not Valid|The file you have chosen\nis not valid for playback.";
inline const std::string kError11Box =
    "Error Code 11 Received|The selected drive is not present\nPlease insert the drive and choose Refresh";
inline const std::string kError12Box = "Error Code 12 Received|The desired clip is not present\nClick OK to Refresh";
