// dorvik-unit-sim: the playback unit's stand-in on a pseudo-terminal, for demos and for
// trying the program without the hardware. Prints the terminal's path, serves until SIGINT
// or SIGTERM, then removes the COMn link it made.
#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "link/WireTrace.h"
#include "sim/PtyUnit.h"
#include "sim/Replay.h"
#include "sim/Unit.h"

namespace {

constexpr const char* kUsage =
    "usage: dorvik-unit-sim [options]\n"
    "Simulates the video playback unit on a pseudo-terminal until interrupted.\n"
    "\n"
    "  --manifest FILE          seed the drives from a manifest (see sim/demo.manifest)\n"
    "  --internal-image FILE    seed the Internal Drive from a FAT12/16 disk image\n"
    "  --removable-image FILE   seed the Removable Drive from a FAT12/16 disk image\n"
    "  --link DIR[:N]           create the symbolic link DIR/COM<N> (N 1..4, default 1)\n"
    "  --paced                  send replies at the line rate of 9600 baud\n"
    "  --completion-delay MS    delay before the second reply of copy, delete, format\n"
    "                           (default 300)\n"
    "  --revision TEXT          the firmware revision (10 bytes, blank padded)\n"
    "  --log                    print every line received\n"
    "  --replay FILE            answer as the unit traced in FILE did (dorvik --trace), line\n"
    "                           by line with the recorded gaps; a line the trace does not\n"
    "                           have next is refused (no reply, a message on stderr)\n"
    "  --fast                   with --replay: answer at once, without the recorded gaps\n"
    "  --replug AFTER:DELAY     AFTER ms from the start, pull the line out (the program's\n"
    "                           device goes away) and plug a new one in at the link\n"
    "                           DELAY ms later, as a replugged USB adapter\n"
    "  --help                   show this text\n"
    "  --version                show the version\n"
    "\n"
    "Without a manifest or image both drives are present, formatted and empty. The options\n"
    "that seed or shape the simulated unit do not apply to a replay.\n";

struct Options {
  std::string manifest;
  std::string images[2];
  std::string linkFolder;
  int linkNumber = 1;
  bool paced = false;
  int completionDelayMs = sim::kDefaultCompletionDelayMs;
  std::string revision = sim::kDefaultRevision;
  bool log = false;
  std::string replay;
  bool fast = false;
  int replugAfterMs = -1;  // none
  int replugDelayMs = 0;
};

bool parseNumber(const std::string& text, int lowest, int highest, int& out) {
  char* end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || value < lowest || value > highest) return false;
  out = static_cast<int>(value);
  return true;
}

bool parseLink(const std::string& text, Options& options) {
  const std::size_t colon = text.rfind(':');
  options.linkFolder = text.substr(0, colon);
  if (colon == std::string::npos) return !text.empty();
  return !options.linkFolder.empty() && parseNumber(text.substr(colon + 1), 1, 4, options.linkNumber);
}

bool takesValue(const std::string& option) {
  for (const char* known : {"--manifest", "--internal-image", "--removable-image", "--link", "--completion-delay",
                            "--revision", "--replay", "--replug"}) {
    if (option == known) return true;
  }
  return false;
}

// Empty text on success, "help" for --help, "version" for --version, else what is wrong with the command line.
std::string parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--help") return "help";
    if (option == "--version") return "version";
    if (option == "--paced") {
      options.paced = true;
    } else if (option == "--log") {
      options.log = true;
    } else if (option == "--fast") {
      options.fast = true;
    } else if (!takesValue(option)) {
      return "unknown option: " + option;
    } else if (i + 1 >= argc) {
      return option + " needs a value";
    } else if (option == "--manifest") {
      options.manifest = argv[++i];
    } else if (option == "--internal-image") {
      options.images[Internal] = argv[++i];
    } else if (option == "--removable-image") {
      options.images[Removable] = argv[++i];
    } else if (option == "--revision") {
      options.revision = argv[++i];
    } else if (option == "--replay") {
      options.replay = argv[++i];
    } else if (option == "--link") {
      if (!parseLink(argv[++i], options)) return std::string("bad --link value: ") + argv[i];
    } else if (option == "--replug") {
      const std::string value = argv[++i];
      const std::size_t colon = value.find(':');
      constexpr int kHour = 3600 * 1000;
      if (colon == std::string::npos || !parseNumber(value.substr(0, colon), 0, kHour, options.replugAfterMs) ||
          !parseNumber(value.substr(colon + 1), 0, kHour, options.replugDelayMs)) {
        return "bad --replug value: " + value;
      }
    } else if (option == "--completion-delay") {
      if (!parseNumber(argv[++i], 0, 3600 * 1000, options.completionDelayMs)) {
        return std::string("bad --completion-delay value: ") + argv[i];
      }
    }
  }
  if (options.fast && options.replay.empty()) return "--fast goes with --replay";
  return "";
}

std::string readFile(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return path + ": cannot open";
  std::ostringstream bytes;
  bytes << file.rdbuf();
  text = bytes.str();
  return "";
}

std::string seed(sim::Unit& unit, const Options& options) {
  std::string error;
  if (!options.manifest.empty()) {
    std::string text;
    if (const std::string problem = readFile(options.manifest, text); !problem.empty()) return problem;
    if (!unit.seedManifest(text, &error)) return options.manifest + ": " + error;
  }
  for (DriveKind kind : {Internal, Removable}) {
    if (!options.images[kind].empty() && !unit.seedFatImage(options.images[kind], kind, &error)) return error;
  }
  return "";
}

// A replay of the trace at path, or null after telling why it cannot be one.
std::unique_ptr<sim::Replay> loadReplay(const Options& options) {
  std::string text, problem;
  problem = readFile(options.replay, text);
  auto replay = problem.empty() ? sim::Replay::parse(text, &problem) : nullptr;
  if (!replay) {
    std::cerr << "dorvik-unit-sim: " << (problem.starts_with(options.replay) ? "" : options.replay + ": ") << problem
              << "\n";
    return nullptr;
  }
  replay->setFast(options.fast);
  replay->setRefusalObserver(
      [](const std::string& refusal) { std::cerr << "dorvik-unit-sim: " << refusal << std::endl; });
  return replay;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const std::string problem = parseOptions(argc, argv, options);
  if (problem == "help") {
    std::cout << kUsage;
    return 0;
  }
  if (problem == "version") {
    std::cout << "dorvik-unit-sim " << DORVIK_VERSION << "\n";
    return 0;
  }
  if (!problem.empty()) {
    std::cerr << "dorvik-unit-sim: " << problem << "\n" << kUsage;
    return 2;
  }
  sim::Unit unit;
  std::unique_ptr<sim::Replay> replay;
  if (!options.replay.empty() && !(replay = loadReplay(options))) return 1;
  const std::string seedProblem = seed(unit, options);
  if (!seedProblem.empty()) {
    std::cerr << "dorvik-unit-sim: " << seedProblem << "\n";
    return 1;
  }
  if (options.paced) unit.setBytePeriodUs(sim::kBytePeriod9600Us);
  unit.setCompletionDelayMs(options.completionDelayMs);
  unit.setRevision(options.revision);
  if (options.log) {
    unit.setLineObserver([](const std::string& line) { std::cout << "received: " << traceText(line) << std::endl; });
  }

  // Blocked before the serving thread starts, so only sigwait below takes them. A shell
  // starts background jobs with SIGINT ignored, which would discard it: "kill -INT" must stop
  // the simulator all the same.
  signal(SIGINT, SIG_DFL);
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  sim::PtyUnit pty(replay ? static_cast<sim::Responder&>(*replay) : unit);
  if (pty.slavePath().empty()) {
    std::cerr << "dorvik-unit-sim: cannot create a pseudo-terminal\n";
    return 1;
  }
  std::cout << "dorvik-unit-sim: serving on " << pty.slavePath()
            << (replay ? " (a replay of " + options.replay + ")" : "") << std::endl;
  if (!options.linkFolder.empty()) {
    const std::string link = options.linkFolder + "/COM" + std::to_string(options.linkNumber);
    if (!pty.createLink(options.linkFolder, options.linkNumber)) {
      std::cerr << "dorvik-unit-sim: cannot create " << link << "\n";
      return 1;
    }
    std::cout << "dorvik-unit-sim: " << link << " -> " << pty.slavePath() << std::endl;
  }
  if (options.replugAfterMs >= 0) {
    const timespec after{options.replugAfterMs / 1000, (options.replugAfterMs % 1000) * 1000000L};
    if (sigtimedwait(&stopSignals, nullptr, &after) < 0) {
      std::cout << "dorvik-unit-sim: line pulled out" << std::endl;
      if (!pty.replug(options.replugDelayMs)) {
        std::cerr << "dorvik-unit-sim: cannot plug a new pseudo-terminal in\n";
        return 1;
      }
      std::cout << "dorvik-unit-sim: plugged in again on " << pty.slavePath() << std::endl;
    } else {
      std::cout << "dorvik-unit-sim: stopped" << std::endl;
      return 0;
    }
  }
  int signal = 0;
  sigwait(&stopSignals, &signal);
  std::cout << "dorvik-unit-sim: stopped" << std::endl;
  return 0;
}
