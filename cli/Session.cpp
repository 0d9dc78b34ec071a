#include "cli/Session.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <optional>
#include <sstream>
#include <vector>

#include "app/ExplorerApp.h"
#include "cli/Ports.h"
#include "cli/Text.h"
#include "clips/ClipName.h"
#include "clips/UnitCommands.h"
#include "link/SerialLink.h"
#include "protocol/Directory.h"
#include "ui/AboutDialog.h"
#include "ui/ExplorerDialog.h"
#include "ui/ProgressDialog.h"

namespace cli {
namespace {

using platform::memory::MemoryExplorerWindow;
using platform::memory::MemoryListView;

const char* driveName(DriveKind drive) { return drive == Internal ? "internal" : "removable"; }

const char* kindName(const std::string& name) {
  switch (clipKind(name)) {
    case VideoClip: return "video";
    case SoundClip: return "sound";
    case PlayList: return "play list";
    case CommandFile: return "command file";
    default: return "other";
  }
}

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The window's logic on in-memory lists, for one command.
class Session {
 public:
  Session(const Arguments& arguments, std::ostream& out)
      : arguments_(arguments),
        out_(out),
        desktop_(arguments.yes, confirmationOf(arguments.command)),
        dialog_(desktop_),
        window_(desktop_.open(dialog_)) {
    desktop_.watch(dialog_);
    progressDialog.attach(&desktop_);
  }
  ~Session() { progressDialog.attach(nullptr); }

  int run();

 private:
  static std::string confirmationOf(Command command) {
    if (command == Command::Delete) return ExplorerDialog::kDeleteCaption;
    if (command == Command::Format) return ExplorerDialog::kFormatCaption;
    return "";
  }
  MemoryListView& list(DriveKind drive) { return drive == Internal ? window_.internalList : window_.removableList; }
  // Reads drive's list, as the phase on a terminal; false when the selection failed.
  bool listDrive(DriveKind drive);
  // Reads drive's list; false (the status set) when it failed or came incomplete.
  bool listed(DriveKind drive);
  // Lists drive and selects the row the typed name names, as a user's click on it does: the
  // same name field exactly, else the one row whose field differs only in letter case. The
  // row's own name, or nothing after the failure was told.
  std::optional<std::string> chooseListed(DriveKind drive, const std::string& typed);
  bool done() const { return desktop_.status() == kDone; }
  int finish(const std::string& text);

  void printListing();
  std::optional<std::string> copy();
  std::optional<std::string> remove();
  std::optional<std::string> rename();
  std::optional<std::string> play();
  void revision();

  const Arguments& arguments_;
  std::ostream& out_;
  ConsoleDesktop desktop_;
  ExplorerDialog dialog_;
  MemoryExplorerWindow& window_;
};

bool Session::listed(DriveKind drive) { return listDrive(drive) && done(); }

bool Session::listDrive(DriveKind drive) {
  desktop_.setPhase(std::string("listing the ") + driveName(drive) + " drive");
  return dialog_.listDrive(drive);
}

std::optional<std::string> Session::chooseListed(DriveKind drive, const std::string& typed) {
  if (!listed(drive)) return std::nullopt;
  MemoryListView& rows = list(drive);
  const std::string field = nameField(typed);
  std::vector<int> sameName, sameLetters;
  for (int row = 0; row < rows.rowCount(); ++row) {
    const std::string rowField = nameField(rows.cell(row, 0));
    if (rowField == field) sameName.push_back(row);
    if (sameIgnoringCase(rowField, field)) sameLetters.push_back(row);
  }
  const std::vector<int>& found = sameName.empty() ? sameLetters : sameName;
  if (found.size() != 1) {
    desktop_.fail(kNotDone, found.empty() ? typed + " is not on the " + driveName(drive) + " drive"
                                          : typed + " names more than one file on the " + driveName(drive) +
                                                " drive: type it as listed");
    return std::nullopt;
  }
  rows.select(found.front());
  rows.setFocus();
  return rows.cell(found.front(), 0);
}

int Session::finish(const std::string& text) {
  desktop_.setPhase("");
  if (!done()) return desktop_.status();
  if (arguments_.json) {
    out_ << "{\"done\": " << jsonString(text) << "}\n";
  } else {
    out_ << printable(text) << "\n";
  }
  return kDone;
}

int Session::run() {
  const DriveKind drive = arguments_.drive.value_or(Removable);
  const auto reported = [this](const std::optional<std::string>& text) {
    return text ? finish(*text) : static_cast<int>(desktop_.status());
  };
  switch (arguments_.command) {
    case Command::Probe:
      if (!theApp.probeUnit()) {
        desktop_.fail(kNoAnswer, "no answer from the unit");
        return kNoAnswer;
      }
      return finish("a unit answers");
    case Command::List: printListing(); return desktop_.status();
    case Command::Copy: return reported(copy());
    case Command::Delete: return reported(remove());
    case Command::Rename: return reported(rename());
    case Command::Format:
      list(drive).setFocus();
      desktop_.setPrompt(std::string("Format the ") + driveName(drive) + " drive? Every file on it will be lost.");
      desktop_.setPhase(std::string("formatting the ") + driveName(drive) + " drive");
      dialog_.onFormatDrive();
      return finish("formatted the " + std::string(driveName(drive)) + " drive");
    case Command::Play: return reported(play());
    case Command::Still: dialog_.onStill(); return finish("still");
    case Command::Stop:
      list(drive).setFocus();
      dialog_.onStop();
      return finish("stopped");
    case Command::Revision: revision(); return desktop_.status();
    case Command::Ports: break;  // answered before the port is opened
  }
  return kUsage;
}

void Session::printListing() {
  std::vector<DriveKind> drives{Removable, Internal};
  if (arguments_.drive) drives = {*arguments_.drive};
  std::vector<bool> complete;
  for (DriveKind drive : drives) {
    // A listing cut short is printed for what it holds, and the status says it is not all; a
    // drive that did not answer ends the listing, and the drives read before it are printed.
    if (!listDrive(drive)) break;
    complete.push_back(dialog_.listingComplete);
  }
  drives.resize(complete.size());
  if (drives.empty()) return;
  desktop_.setPhase("");
  if (arguments_.json) out_ << "{";
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const DriveKind drive = drives[i];
    const MemoryListView& rows = list(drive);
    const std::uint64_t used = drive == Internal ? dialog_.internalUsedBytes : dialog_.removableUsedBytes;
    const std::uint64_t capacity = drive == Internal ? dialog_.internalCapacityBytes : dialog_.removableCapacityBytes;
    if (arguments_.json) {
      out_ << (i ? ", " : "") << jsonString(driveName(drive)) << ": {\"complete\": " << (complete[i] ? "true" : "false")
           << ", \"files\": [";
      for (int row = 0; row < rows.rowCount(); ++row) {
        out_ << (row ? ", " : "") << "{\"name\": " << jsonString(rows.cell(row, 0))
             << ", \"length\": " << jsonString(trimmed(rows.cell(row, 1)))
             << ", \"size_kb\": " << directory::kilobytesOfSizeText(rows.cell(row, 2))
             << ", \"kind\": " << jsonString(kindName(rows.cell(row, 0))) << "}";
      }
      out_ << "], \"used_bytes\": " << used << ", \"capacity_bytes\": " << capacity
           << ", \"free_bytes\": " << (used > capacity ? 0 : capacity - used) << "}";
      continue;
    }
    out_ << (i ? "\n" : "") << driveTitle(drive) << "\n";
    out_ << std::left << std::setw(14) << "NAME" << std::setw(10) << "LENGTH" << std::right << std::setw(12) << "SIZE"
         << "  KIND\n";
    for (int row = 0; row < rows.rowCount(); ++row) {
      out_ << std::left << std::setw(14) << printable(rows.cell(row, 0)) << std::setw(10) << trimmed(rows.cell(row, 1))
           << std::right << std::setw(12) << trimmed(rows.cell(row, 2)) << "  " << kindName(rows.cell(row, 0)) << "\n";
    }
    out_ << trimmed(drive == Internal ? dialog_.internalSummaryText : dialog_.removableSummaryText) << "\n";
  }
  if (arguments_.json) out_ << "}\n";
}

std::optional<std::string> Session::copy() {
  const DriveKind to = *arguments_.drive;
  const DriveKind from = to == Internal ? Removable : Internal;
  // The target first: a copy onto a name the drive holds is never sent.
  if (!listed(to)) return std::nullopt;
  if (findClip(list(to), arguments_.name) >= 0) {
    desktop_.fail(kNotDone, arguments_.name + " is already on the " + driveName(to) + " drive: not copied");
    return std::nullopt;
  }
  const auto name = chooseListed(from, arguments_.name);
  if (!name) return std::nullopt;
  desktop_.setPhase("copying " + printable(*name) + " to the " + driveName(to) + " drive");
  to == Internal ? dialog_.onCopyToInternal() : dialog_.onCopyToRemovable();
  return "copied " + *name + " to the " + driveName(to) + " drive";
}

std::optional<std::string> Session::remove() {
  const auto name = chooseListed(*arguments_.drive, arguments_.name);
  if (!name) return std::nullopt;
  desktop_.setPrompt("Delete " + printable(*name) + " from the " + driveName(*arguments_.drive) + " drive?");
  desktop_.setPhase("deleting " + printable(*name));
  dialog_.onDeleteFile();
  return "deleted " + *name + " from the " + driveName(*arguments_.drive) + " drive";
}

std::optional<std::string> Session::rename() {
  const DriveKind drive = *arguments_.drive;
  const std::string newName = *validateClipName(arguments_.newName);
  const auto name = chooseListed(drive, arguments_.name);
  if (!name) return std::nullopt;
  if (findClip(list(drive), newName) >= 0) {
    desktop_.fail(kNotDone, newName + " is already on the " + driveName(drive) + " drive: not renamed");
    return std::nullopt;
  }
  desktop_.setPhase("renaming " + printable(*name));
  dialog_.onRenameFile();
  list(drive).typeInEditor(newName);
  list(drive).endEdit(false);
  return "renamed " + *name + " to " + newName;
}

std::optional<std::string> Session::play() {
  const auto name = chooseListed(*arguments_.drive, arguments_.name);
  if (!name) return std::nullopt;
  // The unit cues by number alone: a clip that shares the number may be the one it plays.
  const MemoryListView& rows = list(*arguments_.drive);
  for (int row = 0; row < rows.rowCount(); ++row) {
    const std::string other = rows.cell(row, 0);
    if (other != *name && clipKind(other) <= PlayList && other.substr(5, 3) == name->substr(5, 3)) {
      tell("note: " + printable(other) + " on the drive has the same number; the unit cues by number");
    }
  }
  desktop_.setPhase("cueing " + printable(*name));
  if (arguments_.loop) dialog_.onLoopClip();  // the Loop Clip box, ticked before Play
  dialog_.onPlay();
  return (arguments_.loop ? "looping " : "playing ") + *name;
}

void Session::revision() {
  platform::memory::MemoryControl field(desktop_.focus, "revision");
  AboutDialog about;
  about.attach(&field);
  about.onGetFirmwareRevision(desktop_);
  const std::string revision = trimmed(field.text());
  if (revision.empty()) {
    desktop_.fail(kNoAnswer, "no answer from the unit");
  } else if (arguments_.json) {
    out_ << "{\"revision\": " << jsonString(revision) << "}\n";
  } else {
    out_ << printable(revision) << "\n";
  }
}

// What can be told wrong before the port is opened: the typed names. The status, or kDone.
int checkNames(const Arguments& arguments) {
  const auto refuse = [](const std::string& text) {
    tell(text);
    return kUsage;
  };
  const bool namesFile = arguments.command == Command::Copy || arguments.command == Command::Delete ||
                         arguments.command == Command::Rename || arguments.command == Command::Play;
  if (namesFile && !typedNameField(arguments.name)) {
    return refuse("not a file name the unit can hold: " + printable(arguments.name) +
                  " (1 to 8 characters, then a dot and up to 3)");
  }
  if (arguments.command == Command::Rename) {
    const auto newName = validateClipName(arguments.newName);
    if (!newName) {
      return refuse("invalid name: " + printable(arguments.newName) +
                    " (letters and digits, 1 to 8, then a dot and up to 3)");
    }
    if (sameIgnoringCase(nameField(*newName), nameField(arguments.name))) {
      tell(printable(arguments.name) + " already has that name: nothing to do");
      return kNotDone;
    }
  }
  if (arguments.command == Command::Play && clipKind(upperCase(arguments.name)) > PlayList) {
    return refuse(printable(arguments.name) + " is not a clip, sound or play list name: it cannot be played");
  }
  return kDone;
}

}  // namespace

int runCommand(const Arguments& arguments, std::ostream& out) {
  const bool asks = arguments.command == Command::Delete || arguments.command == Command::Format;
  if (asks && !arguments.yes && !canAsk()) {
    tell(std::string(arguments.command == Command::Delete ? "delete" : "format") +
         " asks first: answer at a terminal, or give --yes");
    return kUsage;
  }
  if (arguments.command == Command::Ports) return showPorts(arguments, out);
  if (const int status = checkNames(arguments); status != kDone) return status;
  int status = kDone;
  if (openPort(arguments, status).empty()) return status;
  const int result = Session(arguments, out).run();
  serialLink.close();
  return result;
}

}  // namespace cli
