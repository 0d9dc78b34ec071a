#include "cli/Session.h"

#include <algorithm>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "app/ExplorerApp.h"
#include "cli/Ports.h"
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

// The unit's names are upper case; a name typed in lower case means the same file.
std::string upperCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  return text;
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
    progressDialog.attach(&desktop_);
  }
  ~Session() { progressDialog.attach(nullptr); }

  int run();

 private:
  static std::string confirmationOf(Command command) {
    if (command == Command::Delete) return "Delete File(s)";
    if (command == Command::Format) return "Format Drive";
    return "";
  }
  MemoryListView& list(DriveKind drive) { return drive == Internal ? window_.internalList : window_.removableList; }
  // Puts name in drive's list as the one selected row and makes that list current, as a user's
  // click on the row does.
  void chooseRow(DriveKind drive, const std::string& name);
  bool done() const { return desktop_.status() == kDone; }
  int finish(const std::string& text);

  void printListing();
  void copy();
  void remove();
  void rename();
  void revision();

  const Arguments& arguments_;
  std::ostream& out_;
  ConsoleDesktop desktop_;
  ExplorerDialog dialog_;
  MemoryExplorerWindow& window_;
};

void Session::chooseRow(DriveKind drive, const std::string& name) {
  MemoryListView& rows = list(drive);
  int row = findClip(rows, name);
  if (row < 0) row = rows.insertRow(rows.rowCount(), name, clipImage(clipKind(name)));
  rows.select(row);
  rows.setFocus();
}

int Session::finish(const std::string& text) {
  if (!done()) return desktop_.status();
  if (arguments_.json) {
    out_ << "{\"done\": " << jsonString(text) << "}\n";
  } else {
    out_ << text << "\n";
  }
  return kDone;
}

int Session::run() {
  const std::string name = upperCase(arguments_.name);
  const DriveKind drive = arguments_.drive.value_or(Removable);
  switch (arguments_.command) {
    case Command::Probe:
      if (!theApp.probeUnit()) {
        desktop_.fail(kNoAnswer, "no answer from the unit");
        return kNoAnswer;
      }
      return finish("a unit answers");
    case Command::List: printListing(); return desktop_.status();
    case Command::Copy: copy(); return finish("copied " + name + " to the " + driveName(drive) + " drive");
    case Command::Delete: remove(); return finish("deleted " + name + " from the " + driveName(drive) + " drive");
    case Command::Rename: rename(); return finish("renamed " + name + " to " + upperCase(arguments_.newName));
    case Command::Format:
      list(drive).setFocus();
      dialog_.onFormatDrive();
      return finish("formatted the " + std::string(driveName(drive)) + " drive");
    case Command::Play:
      chooseRow(drive, name);
      if (arguments_.loop) dialog_.onLoopClip();  // the Loop Clip box, ticked before Play
      dialog_.onPlay();
      return finish((arguments_.loop ? "looping " : "playing ") + name);
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
  for (DriveKind drive : drives) {
    if (!dialog_.listDrive(drive) || !done()) return;
  }
  if (arguments_.json) out_ << "{";
  for (std::size_t i = 0; i < drives.size(); ++i) {
    const DriveKind drive = drives[i];
    const MemoryListView& rows = list(drive);
    const std::uint64_t used = drive == Internal ? dialog_.internalUsedBytes : dialog_.removableUsedBytes;
    const std::uint64_t capacity = drive == Internal ? dialog_.internalCapacityBytes : dialog_.removableCapacityBytes;
    if (arguments_.json) {
      out_ << (i ? ", " : "") << jsonString(driveName(drive)) << ": {\"files\": [";
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
    out_ << (i ? "\n" : "") << (drive == Internal ? "Internal Drive" : "Removable Drive") << "\n";
    out_ << std::left << std::setw(14) << "NAME" << std::setw(10) << "LENGTH" << std::right << std::setw(12) << "SIZE"
         << "  KIND\n";
    for (int row = 0; row < rows.rowCount(); ++row) {
      out_ << std::left << std::setw(14) << rows.cell(row, 0) << std::setw(10) << trimmed(rows.cell(row, 1))
           << std::right << std::setw(12) << trimmed(rows.cell(row, 2)) << "  " << kindName(rows.cell(row, 0)) << "\n";
    }
    out_ << trimmed(drive == Internal ? dialog_.internalSummaryText : dialog_.removableSummaryText) << "\n";
  }
  if (arguments_.json) out_ << "}\n";
}

void Session::copy() {
  const DriveKind to = *arguments_.drive;
  const DriveKind from = to == Internal ? Removable : Internal;
  const std::string name = upperCase(arguments_.name);
  // The target's list tells the window what is there already; a copy onto a name the drive
  // holds is never sent.
  if (!dialog_.listDrive(to) || !done()) return;
  if (findClip(list(to), name) >= 0) {
    desktop_.fail(kNotDone, name + " is already on the " + driveName(to) + " drive: not copied");
    return;
  }
  chooseRow(from, name);
  if (to == Internal) {
    dialog_.onCopyToInternal();
  } else {
    dialog_.onCopyToRemovable();
  }
}

void Session::remove() {
  chooseRow(*arguments_.drive, upperCase(arguments_.name));
  dialog_.onDeleteFile();
}

void Session::rename() {
  const DriveKind drive = *arguments_.drive;
  const std::string name = upperCase(arguments_.name);
  // The drive's list is read first: the new name must be new to the drive.
  if (!dialog_.listDrive(drive) || !done()) return;
  if (findClip(list(drive), name) < 0) {
    desktop_.fail(kNotDone, name + " is not on the " + driveName(drive) + " drive");
    return;
  }
  chooseRow(drive, name);
  dialog_.onRenameFile();
  list(drive).typeInEditor(upperCase(arguments_.newName));
  list(drive).endEdit(false);
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
    out_ << revision << "\n";
  }
}

}  // namespace

int runCommand(const Arguments& arguments, std::ostream& out) {
  const bool asks = arguments.command == Command::Delete || arguments.command == Command::Format;
  if (asks && !arguments.yes && !canAsk()) {
    std::cerr << "dorvik: " << (arguments.command == Command::Delete ? "delete" : "format")
              << " asks first: answer at a terminal, or give --yes\n";
    return kUsage;
  }
  if (arguments.command == Command::Ports) return showPorts(arguments, out);
  int status = kDone;
  if (openPort(arguments, status).empty()) return status;
  const int result = Session(arguments, out).run();
  serialLink.close();
  return result;
}

}  // namespace cli
