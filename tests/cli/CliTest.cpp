// dorvik, run as a program against the simulated unit on a pseudo-terminal: each command puts
// on the wire the lines the window sends for the same action, and a script gets the exit
// status, output and messages it relies on.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <thread>

#include "app/ExplorerApp.h"
#include "sim/PtyUnit.h"
#include "support/ExplorerFixture.h"
#include "support/PtyPair.h"
#include "support/WorkingFolder.h"
#include "ui/AboutDialog.h"

namespace {

using ::testing::HasSubstr;

constexpr const char* kManifest =
    "[internal]\nVID00003.MPG 352800\n"
    "[removable]\nVID00012.MPG 1764000\nNOTES.TXT 1000\n";

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

std::string readAll(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(got));
  return text;
}

// Runs dorvik with arguments, standard input from /dev/null; standard error goes to a pipe,
// or to a pseudo-terminal when errTerminal is set.
Outcome runDorvik(const std::vector<std::string>& arguments, bool errTerminal = false) {
  int out[2], err[2];
  if (::pipe(out) != 0) return {};
  if (errTerminal ? ::openpty(&err[0], &err[1], nullptr, nullptr, nullptr) != 0 : ::pipe(err) != 0) return {};
  const pid_t child = ::fork();
  if (child == 0) {
    const int input = ::open("/dev/null", O_RDONLY);
    ::dup2(input, 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    std::vector<char*> argv{const_cast<char*>(DORVIK_PROGRAM)};
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    ::execv(DORVIK_PROGRAM, argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  ::close(err[1]);
  Outcome run;
  run.out = readAll(out[0]);
  run.err = readAll(err[0]);  // a terminal reports EIO once the child has closed it
  int status = 0;
  ::waitpid(child, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  ::close(out[0]);
  ::close(err[0]);
  return run;
}

// The window on the in-memory unit, and the same unit on a pseudo-terminal for dorvik.
class CliTest : public ExplorerFixture {
 protected:
  void SetUp() override {
    ExplorerFixture::SetUp();
    seed(kManifest);
    std::string error;
    ASSERT_TRUE(served.seedManifest(kManifest, &error)) << error;
    pty = std::make_unique<sim::PtyUnit>(served);
    ASSERT_FALSE(pty->slavePath().empty());
  }
  // Lines dorvik sent for arguments, its exit status checked.
  std::vector<std::string> linesOf(std::vector<std::string> arguments, int status = 0) {
    arguments.insert(arguments.begin(), {"--port", pty->slavePath()});
    const Outcome run = runDorvik(arguments);
    EXPECT_EQ(run.status, status) << run.err;
    return served.receivedLines();
  }
  // The window after start-up: both drives listed, the Removable list focused, nothing sent
  // since.
  void listBoth() {
    ASSERT_TRUE(dialog->listDrive(Internal));
    ASSERT_TRUE(dialog->listDrive(Removable));
    list(Removable).setFocus();
    takeLines();
  }
  void choose(DriveKind drive, const std::string& label) {
    list(drive).select(list(drive).findLabel(label));
    list(drive).setFocus();
  }

  sim::Unit served;
  std::unique_ptr<sim::PtyUnit> pty;
};

TEST_F(CliTest, EachCommandSendsTheWindowsLinesForTheSameAction) {
  struct Row {
    std::vector<std::string> arguments;
    std::function<void()> windowAction;
  };
  const Row rows[] = {
      {{"probe"}, [this] { theApp.probeUnit(); }},
      {{"list", "internal"}, [this] { dialog->listDrive(Internal); }},
      {{"copy", "vid00012.mpg", "--to", "internal"},
       [this] {
         choose(Removable, "VID00012.MPG");
         dialog->onCopyToInternal();
       }},
      {{"--yes", "delete", "NOTES.TXT", "--drive", "removable"},
       [this] {
         choose(Removable, "NOTES.TXT");
         desktop.answer(platform::IDYES);
         dialog->onDeleteFile();
       }},
      {{"rename", "VID00003.MPG", "VID00009.MPG", "--drive", "internal"},
       [this] {
         choose(Internal, "VID00003.MPG");
         dialog->onRenameFile();
         list(Internal).typeInEditor("VID00009.MPG");
         list(Internal).endEdit(false);
       }},
      {{"format", "internal", "--yes"},
       [this] {
         list(Internal).setFocus();
         desktop.answer(platform::IDYES);
         dialog->onFormatDrive();
       }},
      {{"play", "VID00012.MPG", "--drive", "removable", "--loop"},
       [this] {
         choose(Removable, "VID00012.MPG");
         dialog->onLoopClip();
         dialog->onPlay();
       }},
      {{"still"}, [this] { dialog->onStill(); }},
      {{"stop", "--drive", "internal"},
       [this] {
         list(Internal).setFocus();
         dialog->onStop();
       }},
      {{"revision"},
       [this] {
         AboutDialog about;
         about.onGetFirmwareRevision(desktop);
       }},
  };
  for (const auto& row : rows) {
    const std::string command = ::testing::PrintToString(row.arguments);
    unit.clearReceivedLines();
    ASSERT_NO_FATAL_FAILURE(listBoth());
    row.windowAction();
    const auto windowLines = takeLines();
    ASSERT_FALSE(windowLines.empty()) << command;

    served.clearReceivedLines();
    const auto lines = linesOf(row.arguments);
    ASSERT_GE(lines.size(), windowLines.size()) << command;
    // dorvik may read a drive's list first (select, capacity, directory), then sends exactly
    // the window's lines.
    const auto action = lines.end() - static_cast<std::ptrdiff_t>(windowLines.size());
    EXPECT_EQ(std::vector<std::string>(action, lines.end()), windowLines) << command;
    for (auto line = lines.begin(); line != action; ++line) {
      EXPECT_THAT((std::vector<std::string>{"0SL", "1SL", "?R", "?D"}), ::testing::Contains(*line)) << command;
    }
    // Both units end the same, so the next row starts alike.
    for (DriveKind drive : {Internal, Removable}) {
      EXPECT_EQ(served.drive(drive).directory, unit.drive(drive).directory) << command;
    }
  }
}

TEST_F(CliTest, ExitStatusAndMessageTellAScriptWhatHappened) {
  const struct {
    std::vector<std::string> arguments;
    int status;
    const char* message;
    bool linesSent;
  } rows[] = {
      {{"--yes", "delete", "GONE.MPG", "--drive", "internal"}, 5, "error 12: the clip is not on the drive", true},
      {{"copy", "VID00003.MPG", "--to", "internal"}, 1, "already on the internal drive", true},
      {{"rename", "VID00003.MPG", "A B", "--drive", "internal"}, 2, "invalid name", true},
      {{"delete", "VID00003.MPG", "--drive", "internal"}, 2, "give --yes", false},
      {{"format", "removable"}, 2, "give --yes", false},
      {{"copy", "VID00003.MPG"}, 2, "copy needs --to", false},
      {{"list", "attic"}, 2, "not a drive: attic", false},
      {{"--port", "COM9", "probe"}, 2, "not a port: COM9", false},
  };
  for (const auto& row : rows) {
    served.clearReceivedLines();
    std::vector<std::string> arguments{"--port", pty->slavePath()};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    const Outcome run = runDorvik(arguments);
    const std::string command = ::testing::PrintToString(row.arguments);
    EXPECT_EQ(run.status, row.status) << command << run.err;
    EXPECT_THAT(run.err, HasSubstr(row.message)) << command;
    EXPECT_EQ(!served.receivedLines().empty(), row.linesSent) << command;
    EXPECT_EQ(served.drive(Internal).directory, unit.drive(Internal).directory) << command;
  }
}

TEST_F(CliTest, ASilentLineOrABusyPortIsToldApart) {
  PtyPair silent;
  ASSERT_EQ(silent.start(), "");
  const Outcome quiet = runDorvik({"--port", silent.slavePath(), "probe"});
  EXPECT_EQ(quiet.status, 4);
  EXPECT_THAT(quiet.err, HasSubstr("no answer from the unit"));

  const int held = ::open(pty->slavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  const Outcome busy = runDorvik({"--port", pty->slavePath(), "probe"});
  ::close(held);
  EXPECT_EQ(busy.status, 3);
  EXPECT_THAT(busy.err, HasSubstr(pty->slavePath() + ": Opening serial port"));
  EXPECT_THAT(busy.err, HasSubstr("Another program is using the port"));
}

TEST_F(CliTest, JsonListingAndProgressBarOnlyOnATerminal) {
  const Outcome json = runDorvik({"--port", pty->slavePath(), "--json", "list", "removable"});
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out,
            "{\"removable\": {\"files\": ["
            "{\"name\": \"NOTES.TXT\", \"length\": \"\", \"size_kb\": 1, \"kind\": \"other\"}, "
            "{\"name\": \"VID00012.MPG\", \"length\": \"00:00:10\", \"size_kb\": 1764, \"kind\": \"video\"}], "
            "\"used_bytes\": 1765000, \"capacity_bytes\": 33554432, \"free_bytes\": 31789432}}\n");
  EXPECT_EQ(json.err, "");  // not a terminal: no progress bar

  const Outcome shown = runDorvik({"--port", pty->slavePath(), "list", "removable"}, true);
  EXPECT_EQ(shown.status, 0);
  EXPECT_THAT(shown.err, HasSubstr("] 100%"));
  EXPECT_THAT(shown.out, HasSubstr("VID00012.MPG  00:00:10       1,764KB  video"));
}

// Sets an environment variable for the programs run while it lives.
class Environment {
 public:
  Environment(const char* name, const std::string& value) : name_(name) { ::setenv(name, value.c_str(), 1); }
  ~Environment() { ::unsetenv(name_); }
  Environment(const Environment&) = delete;
  Environment& operator=(const Environment&) = delete;

 private:
  const char* name_;
};

TEST_F(CliTest, PortsShowWhereEachComNumberLeadsAndTheDesktopsFolderIsFoundToo) {
  WorkingFolder here;
  ASSERT_TRUE(pty->createLink(here.path().string(), 1));
  const Outcome shown = runDorvik({"ports"});
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_THAT(shown.out,
              ::testing::StartsWith("COM1  ./COM1  link in the working folder to " + pty->slavePath() + "\nCOM2  "));
  const Outcome json = runDorvik({"--json", "ports"});
  EXPECT_THAT(json.out, ::testing::StartsWith("{\"ports\": [{\"name\": \"COM1\", \"device\": \"./COM1\", "));

  // Nothing here: the desktop program's folder holds the port set-up.
  WorkingFolder empty;
  const Environment config("XDG_CONFIG_HOME", here.path().string());
  std::filesystem::create_directory(here.path() / "dorvik-explorer");
  ASSERT_TRUE(pty->createLink((here.path() / "dorvik-explorer").string(), 3));
  std::ofstream(here.path() / "dorvik-explorer" / "mav.cfg") << "3";
  const Outcome probed = runDorvik({"probe"});
  EXPECT_EQ(probed.status, 0) << probed.err;
  EXPECT_EQ(served.receivedLines(), std::vector<std::string>{"0SL"});
}

TEST_F(CliTest, DorvikPortNamesThePortAndWaitTriesAHeldPortAgain) {
  const Environment port("DORVIK_PORT", pty->slavePath());
  // Not inherited by dorvik, or it would hold the lock itself.
  const int held = ::open(pty->slavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
  const Outcome busy = runDorvik({"probe"});
  EXPECT_EQ(busy.status, 3);
  EXPECT_THAT(busy.err, HasSubstr(pty->slavePath() + ": Opening serial port"));

  std::thread release([held] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    ::close(held);
  });
  const auto started = std::chrono::steady_clock::now();
  const Outcome waited = runDorvik({"--wait", "10", "probe"});
  const auto took = std::chrono::steady_clock::now() - started;
  release.join();
  EXPECT_EQ(waited.status, 0) << waited.err;
  EXPECT_GE(took, std::chrono::milliseconds(1000));

  for (const char* seconds : {"-1", "x", "86401", ""}) {
    EXPECT_EQ(runDorvik({"--wait", seconds, "probe"}).status, 2) << seconds;
  }
}

}  // namespace
