#include "cli/Arguments.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

namespace cli {
namespace {

// How a command names its drive: not at all, by an operand after its names, or by an option.
constexpr std::string_view kNoDrive = "";
constexpr std::string_view kDriveOperand = "operand";

struct CommandInfo {
  Command command;
  std::string_view name;
  int names;                // file names after the command's name
  std::string_view driveBy;  // kNoDrive, kDriveOperand, or the option ("--to", "--drive")
  bool driveOptional;
  std::string_view usage;
};

constexpr std::array<CommandInfo, 11> kCommands{{
    {Command::Probe, "probe", 0, kNoDrive, false,
     "probe\n  Is a unit answering? Sends the start-up probe and waits 2 s for its answer.\n"},
    {Command::List, "list", 0, kDriveOperand, true,
     "list [internal|removable]\n  The drive's files (name, length, size, kind) and its used and free space; both\n"
     "  drives when none is named. About 17 s a drive at 9600 baud.\n"},
    {Command::Copy, "copy", 1, "--to", false,
     "copy NAME --to internal|removable\n  Copies NAME from the other drive. A name already on the target is left "
     "alone.\n"},
    {Command::Delete, "delete", 1, "--drive", false,
     "delete NAME --drive internal|removable\n  Deletes NAME; asks first on a terminal, --yes answers for scripts.\n"},
    {Command::Rename, "rename", 2, "--drive", false,
     "rename OLD NEW --drive internal|removable\n  Renames OLD to NEW (8.3: letters and digits, a name of 1 to 8, an "
     "extension\n"
     "  of up to 3); NEW must be new to the drive.\n"},
    {Command::Format, "format", 0, kDriveOperand, false,
     "format internal|removable\n  Erases every file on the drive; asks first on a terminal, --yes answers for\n"
     "  scripts.\n"},
    {Command::Play, "play", 1, "--drive", false,
     "play NAME --drive internal|removable [--loop]\n  Cues clip NAME on the unit and plays it, in a loop with "
     "--loop.\n"},
    {Command::Still, "still", 0, kNoDrive, false, "still\n  Holds the picture of the clip playing.\n"},
    {Command::Stop, "stop", 0, "--drive", true,
     "stop [--drive internal|removable]\n  Stops playback (by selecting the drive, removable unless named).\n"},
    {Command::Revision, "revision", 0, kNoDrive, false, "revision\n  The unit's firmware revision.\n"},
    {Command::Ports, "ports", 0, kNoDrive, false,
     "ports\n  Where COM1 to COM4 lead on this machine and why, and the ports beyond them.\n"},
}};

constexpr int kLongestWaitSeconds = 24 * 60 * 60;

const CommandInfo* findCommand(std::string_view name) {
  const auto found =
      std::find_if(kCommands.begin(), kCommands.end(), [name](const auto& info) { return info.name == name; });
  return found == kCommands.end() ? nullptr : &*found;
}

// Every command has its entry.
const CommandInfo& infoOf(Command command) {
  return *std::find_if(kCommands.begin(), kCommands.end(),
                       [command](const auto& info) { return info.command == command; });
}

std::optional<DriveKind> driveNamed(std::string_view name) {
  if (name == "internal") return Internal;
  if (name == "removable") return Removable;
  return std::nullopt;
}

}  // namespace

std::string programUsage() {
  std::string text =
      "usage: dorvik [--port COM1..COM4 | DEVICE] [--wait SECONDS] [--json] [--yes] [--trace FILE]\n"
      "              COMMAND [ARGUMENTS]\n"
      "Works the Dorvik video playback unit on a serial line, for scripts and schedules.\n\n"
      "  --port PORT   COM1 to COM4 (see `dorvik ports`) or a device path such as\n"
      "                /dev/ttyUSB0; without it, DORVIK_PORT, else the port mav.cfg names\n"
      "  --wait SECONDS  try a port that will not open (held by another program) again\n"
      "                for up to SECONDS\n"
      "  --json        print the result as one JSON object\n"
      "  --yes         answer yes to the question of delete and format\n"
      "  --trace FILE  write every byte to and from the unit into FILE (a wire trace, see\n"
      "                dorvik-explorer(1)); DORVIK_TRACE=FILE in the environment does the same\n"
      "  --help        this text, or a command's with COMMAND --help\n"
      "  --version     the version\n\nCommands:\n";
  for (const auto& info : kCommands) text += "  " + std::string(info.usage.substr(0, info.usage.find('\n'))) + "\n";
  text +=
      "\nExit status: 0 done, 1 not done (declined, or nothing to do), 2 bad arguments, 3 the port\n"
      "cannot be opened, 4 no answer from the unit, 5 the unit refused (its error code).\n";
  return text;
}

std::string commandUsage(Command command) { return "usage: dorvik [options] " + std::string(infoOf(command).usage); }

std::optional<Arguments> parseArguments(int argc, const char* const* argv, std::string& problem) {
  Arguments arguments;
  std::vector<std::string_view> operands;
  std::optional<std::string_view> driveOption;  // --to or --drive, with the option's name
  std::string_view driveOptionName;
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    const bool takesValue =
        word == "--port" || word == "--to" || word == "--drive" || word == "--wait" || word == "--trace";
    if (takesValue && i + 1 >= argc) {
      problem = std::string(word) + " needs a value";
      return std::nullopt;
    }
    if (word == "--port") {
      arguments.port = argv[++i];
    } else if (word == "--trace") {
      arguments.trace = argv[++i];
    } else if (word == "--wait") {
      const std::string_view value = argv[++i];
      int seconds = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), seconds);
      if (error != std::errc() || end != value.data() + value.size() || seconds < 0 || seconds > kLongestWaitSeconds) {
        problem = "--wait needs seconds from 0 to " + std::to_string(kLongestWaitSeconds);
        return std::nullopt;
      }
      arguments.waitSeconds = seconds;
    } else if (word == "--to" || word == "--drive") {
      driveOptionName = word;
      driveOption = argv[++i];
    } else if (word == "--json") {
      arguments.json = true;
    } else if (word == "--yes") {
      arguments.yes = true;
    } else if (word == "--loop") {
      arguments.loop = true;
    } else if (word == "--help") {
      arguments.help = true;
    } else if (word.starts_with("--")) {
      problem = "unknown option " + std::string(word);
      return std::nullopt;
    } else {
      operands.push_back(word);
    }
  }
  if (operands.empty()) {
    if (arguments.help) return arguments;
    problem = "no command given";
    return std::nullopt;
  }
  const CommandInfo* info = findCommand(operands.front());
  if (info == nullptr) {
    problem = "unknown command " + std::string(operands.front());
    return std::nullopt;
  }
  arguments.command = info->command;
  arguments.commandNamed = true;
  if (arguments.help) return arguments;
  operands.erase(operands.begin());

  const auto names = static_cast<std::size_t>(info->names);
  const bool byOperand = info->driveBy == kDriveOperand;
  if (driveOption && driveOptionName != info->driveBy) {
    problem = std::string(info->name) + " takes no " + std::string(driveOptionName);
    return std::nullopt;
  }
  if (byOperand && operands.size() == names + 1) {
    driveOption = operands.back();
    operands.pop_back();
  }
  if (operands.size() != names) {
    problem = std::string(info->name) + ": wrong number of arguments";
    return std::nullopt;
  }
  if (!driveOption && info->driveBy != kNoDrive && !info->driveOptional) {
    problem = std::string(info->name) + " needs " + (byOperand ? "" : std::string(info->driveBy) + " ") +
              "internal|removable";
    return std::nullopt;
  }
  if (driveOption) {
    arguments.drive = driveNamed(*driveOption);
    if (!arguments.drive) {
      problem = "not a drive: " + std::string(*driveOption) + " (internal or removable)";
      return std::nullopt;
    }
  }
  if (arguments.loop && info->command != Command::Play) {
    problem = "--loop goes with play only";
    return std::nullopt;
  }
  if (!operands.empty()) arguments.name = operands[0];
  if (operands.size() > 1) arguments.newName = operands[1];
  return arguments;
}

}  // namespace cli
