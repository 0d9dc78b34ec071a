// dorvik, run as a program against the simulated unit on a pseudo-terminal: each command puts
// on the wire the lines the window sends for the same action, and a script gets the exit
// status, output and messages it relies on.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <thread>

#include "app/ExplorerApp.h"
#include "sim/PtyUnit.h"
#include "sim/Replay.h"
#include "support/ExplorerFixture.h"
#include "support/PtyPair.h"
#include "support/WorkingFolder.h"
#include "ui/AboutDialog.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

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

std::unique_ptr<sim::Replay> replayOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  std::string problem;
  auto replay = sim::Replay::parse(text, &problem);
  EXPECT_TRUE(replay) << path << ": " << problem;
  return replay;
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
      {{"--yes", "delete", "GONE.MPG", "--drive", "internal"}, 1, "GONE.MPG is not on the internal drive", true},
      {{"copy", "VID00003.MPG", "--to", "internal"}, 1, "already on the internal drive", true},
      {{"rename", "VID00003.MPG", "A B", "--drive", "internal"}, 2, "invalid name: A B", false},
      {{"play", "NOTES.TXT", "--drive", "removable"}, 2, "NOTES.TXT is not a clip", false},
      {{"play", "VID00099.MPG", "--drive", "removable"}, 1, "VID00099.MPG is not on the removable drive", true},
      {{"delete", "VID00003.MPG", "--drive", "internal"}, 2, "give --yes", false},
      {{"format", "removable"}, 2, "give --yes", false},
      {{"copy", "VID00003.MPG"}, 2, "copy needs --to", false},
      {{"list", "attic"}, 2, "not a drive: attic", false},
      {{"format", "--drive", "internal"}, 2, "dorvik: format takes no --drive (dorvik --help says more)\n", false},
      {{"--json", "stop", "--to", "internal"}, 2, "{\"error\": \"stop takes no --to (dorvik --help says more)\"}\n",
       false},
      {{"--port", "COM9", "probe"}, 2, "not a port: COM9", false},
      {{"--trace", "/nonexistent/run.trace", "probe"},
       2,
       "the wire trace cannot be written: /nonexistent/run.trace:",
       false},
      {{"--trace", "/tmp", "probe"}, 2, "the wire trace cannot be written: /tmp: a folder, not a file", false},
  };
  for (const auto& row : rows) {
    served.clearReceivedLines();
    std::vector<std::string> arguments{"--port", pty->slavePath()};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    const Outcome run = runDorvik(arguments);
    const std::string command = ::testing::PrintToString(row.arguments);
    EXPECT_EQ(run.status, row.status) << command << run.err;
    EXPECT_THAT(run.err, HasSubstr(row.message)) << command;
    EXPECT_THAT(run.err, Not(HasSubstr("usage:"))) << command;  // a hint, not the whole usage
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
            "{\"removable\": {\"complete\": true, \"files\": ["
            "{\"name\": \"NOTES.TXT\", \"length\": \"\", \"size_kb\": 1, \"kind\": \"other\"}, "
            "{\"name\": \"VID00012.MPG\", \"length\": \"00:00:10\", \"size_kb\": 1764, \"kind\": \"video\"}], "
            "\"used_bytes\": 1765000, \"capacity_bytes\": 33554432, \"free_bytes\": 31789432}}\n");
  EXPECT_EQ(json.err, "");  // not a terminal: no progress bar

  const Outcome shown = runDorvik({"--port", pty->slavePath(), "list", "removable"}, true);
  EXPECT_EQ(shown.status, 0);
  EXPECT_THAT(shown.err, HasSubstr("] 100%"));
  EXPECT_THAT(shown.out, HasSubstr("VID00012.MPG  00:00:10       1,764KB  video"));
}

// A typed name acts only on the file listed by exactly that name: near-names against drives
// that hold their look-alikes touch nothing and never exit 0; the exact name touches only its
// own file.
TEST_F(CliTest, NearNamesTouchNoClipAndNeverSucceed) {
  const char* const lookAlikes =
      "[removable]\nVID00031.MPG 1000\nvid00031.mpg 1000\nVID00012.MPG 1000\nVID00100.DKV 1000\n"
      "[internal]\nVID00003.MPG 1000\n";
  ASSERT_TRUE(served.seedManifest(lookAlikes, nullptr));
  const auto before = served.drive(Removable).directory;
  const auto internal = served.drive(Internal).directory;
  const struct {
    std::vector<std::string> arguments;
    int status;
  } rows[] = {
      {{"delete", "VID00031.MPG.OLD"}, 2}, {{"delete", "VID00031.MPGX"}, 2},  {{"delete", "VID000311.MPG"}, 2},
      {{"delete", "VID00031.MPG "}, 2},    {{"delete", " VID00031.MPG"}, 2},  {{"delete", "VID0003.MPG"}, 1},
      {{"delete", "VID00031.MP"}, 1},      {{"delete", "VID00031"}, 1},       {{"delete", "Vid00031.mpg"}, 1},
      {{"delete", "VID 0031.MPG"}, 1},     {{"delete", "VID00031..MPG"}, 2},  {{"play", "SND00100.WAV"}, 1},
      {{"play", "VID00031.MPG.OLD"}, 2},   {{"play", "VID00100.MPG"}, 1},     {{"copy", "VID00031.MPGX"}, 2},
      {{"copy", "VID0003.MPG"}, 1},        {{"rename", "VID00012XYZ.MPG", "KEEP.MPG"}, 2},
      {{"rename", "VID000311.MPG", "NEWNAME.MPG"}, 2},
  };
  for (const auto& row : rows) {
    std::vector<std::string> arguments{"--yes"};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    arguments.insert(arguments.end(), {arguments[1] == "copy" ? "--to" : "--drive",
                                       arguments[1] == "copy" ? "internal" : "removable"});
    served.clearReceivedLines();
    const auto lines = linesOf(arguments, row.status);
    const std::string command = ::testing::PrintToString(arguments);
    for (const auto& line : lines) {
      EXPECT_THAT((std::vector<std::string>{"0SL", "1SL", "?R", "?D"}), ::testing::Contains(line)) << command;
    }
    EXPECT_EQ(served.drive(Removable).directory, before) << command;
    EXPECT_EQ(served.drive(Internal).directory, internal) << command;
  }
  // The exact name, lower case as the unit holds it: that file goes, its look-alike stays.
  linesOf({"--yes", "delete", "vid00031.mpg", "--drive", "removable"});
  EXPECT_LT(served.drive(Removable).find("vid00031mpg"), 0);
  EXPECT_GE(served.drive(Removable).find("VID00031MPG"), 0);
  EXPECT_GE(served.drive(Removable).find("VID00012MPG"), 0);
}

// A listing cut short prints what came, marked, and its status says the drive was not read
// whole. (Cut in its last block, so that the real line waits one limit, not four; which rows
// a cut keeps is the window's listing, tested on the virtual clock.)
TEST_F(CliTest, ACutListingIsNeverACompleteDrive) {
  for (const bool json : {false, true}) {
    served.addFault({.command = "?D", .fault = sim::Fault::Truncated, .count = 3 * 4096 + 40});
    std::vector<std::string> arguments{"--port", pty->slavePath(), "list", "removable"};
    if (json) arguments.insert(arguments.begin(), "--json");
    const Outcome cut = runDorvik(arguments);
    EXPECT_EQ(cut.status, 4);
    EXPECT_THAT(cut.err, HasSubstr("did not send its whole directory"));
    EXPECT_THAT(cut.out, HasSubstr(json ? "{\"removable\": {\"complete\": false, " : "1,765KB (listing incomplete)"));
  }
}

// The unit's control bytes never reach the terminal raw: plain text escapes them.
TEST_F(CliTest, ControlBytesInNamesArePrintedEscaped) {
  const std::string field = "A\x1B[2J\r\x90 MPG";
  std::copy(field.begin(), field.end(), served.drive(Removable).directory.begin());
  const Outcome shown = runDorvik({"--port", pty->slavePath(), "list", "removable"});
  EXPECT_EQ(shown.status, 0) << shown.err;
  EXPECT_THAT(shown.out, HasSubstr("A\\x1b[2J\\x0d\\x90.MPG"));
  EXPECT_EQ(shown.out.find_first_of("\x1B\r"), std::string::npos);
}

// Ctrl-C, a closed terminal, a kill or a reader that went away (`| head`) leave the port as
// it was found: no lock, no exclusive mode, which would refuse every later opener but root.
TEST_F(CliTest, EveryWayOutLeavesThePortFree) {
  const auto exclusive = [](const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    int on = -1;
    ::ioctl(fd, TIOCGEXCL, &on);
    ::close(fd);
    return on != 0;
  };
  PtyPair silent;  // a probe waits here, so that the signal finds the port open
  ASSERT_EQ(silent.start(), "");
  for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    int out[2];
    ASSERT_EQ(::pipe(out), 0);
    const pid_t child = ::fork();
    if (child == 0) {
      ::dup2(out[1], 1);
      const int quiet = ::open("/dev/null", O_WRONLY);
      ::dup2(quiet, 2);
      ::execl(DORVIK_PROGRAM, DORVIK_PROGRAM, "--port", silent.slavePath().c_str(), "probe", nullptr);
      ::_exit(127);
    }
    ::close(out[1]);
    for (int i = 0; i < 100 && !exclusive(silent.slavePath()); ++i) ::usleep(10000);
    EXPECT_TRUE(exclusive(silent.slavePath())) << "the port was never opened";
    ::kill(child, signalNumber);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(out[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 128 + signalNumber) << strsignal(signalNumber);
    EXPECT_FALSE(exclusive(silent.slavePath())) << strsignal(signalNumber);
    const int again = ::open(silent.slavePath().c_str(), O_RDWR | O_NOCTTY);
    EXPECT_EQ(::flock(again, LOCK_EX | LOCK_NB), 0) << strsignal(signalNumber);
    ::close(again);
  }
}

TEST_F(CliTest, ATracedListingReplaysToTheSameTextAndADeleteItNeverSawIsRefused) {
  WorkingFolder folder;
  const std::string path = (folder.path() / "list.trace").string();
  ::setenv("DORVIK_TRACE", path.c_str(), 1);
  const Outcome traced = runDorvik({"--port", pty->slavePath(), "list"});
  ::unsetenv("DORVIK_TRACE");
  ASSERT_EQ(traced.status, 0) << traced.err;

  auto replay = replayOf(path);
  ASSERT_TRUE(replay);
  sim::PtyUnit replayed(*replay);
  const Outcome listed = runDorvik({"--port", replayed.slavePath(), "list"});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, traced.out);
  EXPECT_THAT(replay->refusals(), IsEmpty());
  EXPECT_EQ(replay->linesAnswered(), replay->lineCount());

  auto again = replayOf(path);
  ASSERT_TRUE(again);
  again->setFast(true);
  sim::PtyUnit unit(*again);
  const Outcome deleted =
      runDorvik({"--port", unit.slavePath(), "--yes", "delete", "VID00012.MPG", "--drive", "removable"});
  EXPECT_EQ(deleted.status, 4) << deleted.err;
  ASSERT_THAT(again->refusals(), Not(IsEmpty()));
  // The delete lists its drive as the trace did, then selects it again where the trace went on
  // to the other drive: refused there, the delete line is never sent.
  EXPECT_EQ(again->refusals().front(),
            "refused line 4: received \"1SL\\r\", the trace has \"0SL\\r\" (trace line 10); no reply");
}

// Traces recorded with dorvik against the simulator, kept as regression cases: each command
// still sends exactly the traced lines and ends as it did then.
TEST_F(CliTest, KeptTracesReplayToTheSameEnd) {
  const struct {
    const char* trace;
    std::vector<std::string> arguments;
    const char* out;
  } rows[] = {
      {"probe.trace", {"probe"}, "a unit answers\n"},
      {"revision.trace", {"revision"}, "DVX 2.13a\n"},
      {"play-loop.trace", {"play", "VID00012.MPG", "--drive", "removable", "--loop"}, "looping VID00012.MPG\n"},
      {"delete.trace",
       {"--yes", "delete", "NOTES.TXT", "--drive", "removable"},
       "deleted NOTES.TXT from the removable drive\n"},
  };
  for (const auto& row : rows) {
    auto replay = replayOf(std::string(DORVIK_TRACES) + "/" + row.trace);
    ASSERT_TRUE(replay);
    replay->setFast(true);
    sim::PtyUnit unit(*replay);
    std::vector<std::string> arguments{"--port", unit.slavePath()};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    const Outcome run = runDorvik(arguments);
    EXPECT_EQ(run.status, 0) << row.trace << run.err;
    EXPECT_EQ(run.out, row.out) << row.trace;
    EXPECT_THAT(replay->refusals(), IsEmpty()) << row.trace;
    EXPECT_EQ(replay->linesAnswered(), replay->lineCount()) << row.trace;
  }
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

// Started with its standard output or error closed, dorvik never lets the port take their
// number: what it prints would go to the unit as commands.
TEST_F(CliTest, ClosedStandardStreamsNeverReachTheUnit) {
  for (const int closed : {1, 2}) {
    served.clearReceivedLines();
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(closed);
      ::execl(DORVIK_PROGRAM, DORVIK_PROGRAM, "--port", pty->slavePath().c_str(), "list", nullptr);
      ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const auto lines = served.receivedLines();
    EXPECT_EQ(lines, (std::vector<std::string>{"1SL", "?R", "?D", "0SL", "?R", "?D"})) << "fd " << closed;
  }
}

}  // namespace
