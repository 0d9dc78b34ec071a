// The fault matrix: one generated case per (command, fault). Each runs the user's action once
// against a well-behaved unit and once against the misbehaving one, on the virtual clock, and
// checks: no hang beyond the limits, the boxes and dialogs the user must see, a transparent
// fault changing nothing at all, no destructive line reaching a drive that was not selected
// successfully or that the user did not act on, no file lost that the user did not ask to
// lose, and every list showing exactly the unit's files after a Refresh. Copy, delete and
// format run against units that finish at once, within the program's drain, just after it and
// later.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>

#include "FaultMatrix.h"
#include "app/ExplorerApp.h"
#include "link/SerialLink.h"
#include "res/Resources.h"
#include "support/Labels.h"
#include "support/WorkingFolder.h"

namespace faults {
namespace {

using platform::memory::Shown;

constexpr std::int64_t kDrainMs = SerialLink::kDrainQuietMs;

struct Case {
  const Command* command;
  const FaultMode* fault;
  int completionDelayMs = sim::kDefaultCompletionDelayMs;
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.command->name << " x " << c.fault->name << " at " << c.completionDelayMs << " ms";
}

// What one run left behind.
struct Outcome {
  std::vector<std::string> shown;  // boxes by caption, dialogs by template number
  std::vector<Shown> dialogs;      // with the times they came up
  std::vector<sim::ReceivedLine> log;
  std::int64_t elapsedMs = 0;
  std::vector<std::string> rows[2];          // "label|length|size|image|key" per list
  std::vector<std::string> labelsBefore[2];  // labels when the action began
  std::vector<std::string> unitBefore[2];
  std::vector<std::string> labelsAfter[2];
  std::vector<std::string> unitAfter[2];
  std::vector<std::string> refreshedLabels[2];
  std::vector<std::string> refreshedUnit[2];
  std::vector<std::string> refreshShown;
  std::string revision;
  bool hung = false;
  int cursorDepth = 0;
  bool progressOpen = false;
  bool windowEnabled = true;
};

std::vector<std::string> rowTexts(const platform::memory::MemoryListView& list) {
  std::vector<std::string> rows;
  for (const auto& row : list.rows()) {
    rows.push_back(row.cells[0] + "|" + row.cells[1] + "|" + row.cells[2] + "|" + std::to_string(row.image) + "|" +
                   std::to_string(row.data));
  }
  return rows;
}

std::vector<std::string> shownSince(const SteadyUser& user, std::size_t from) {
  std::vector<std::string> shown;
  for (std::size_t i = from; i < user.shown().size(); ++i) {
    const Shown& entry = user.shown()[i];
    if (entry.kind == Shown::MessageBox) shown.push_back(entry.caption);
    if (entry.kind == Shown::Dialog) shown.push_back(std::to_string(entry.id));
  }
  return shown;
}

void arm(sim::Unit& unit, const Case& c) {
  if (!c.fault) return;
  for (const Target& target : c.command->targets) unit.addFault(ruleFor(target, *c.fault, c.completionDelayMs));
}

// What the action left behind, from the moment the fault was armed.
void recordAction(FaultWorld& world, Window& window, std::size_t shownFrom, std::int64_t startMs, Outcome& out) {
  out.elapsedMs = world.clock.nowMs() - startMs;
  out.shown = shownSince(world.desktop, shownFrom);
  for (std::size_t i = shownFrom; i < world.desktop.shown().size(); ++i) {
    if (world.desktop.shown()[i].kind == Shown::Dialog) out.dialogs.push_back(world.desktop.shown()[i]);
  }
  out.log = world.unit.receivedLog();
  out.hung = world.port->hung();
  out.cursorDepth = world.desktop.cursorDepth();
  out.progressOpen = world.desktop.progress() != nullptr;
  out.windowEnabled = window.window.isEnabled();
  out.revision = world.desktop.revisionShown;
  for (const DriveKind drive : {Internal, Removable}) {
    const auto& list = drive == Internal ? window.internalList : window.removableList;
    out.rows[drive] = rowTexts(list);
    out.labelsAfter[drive] = labels::ofList(list);
    out.unitAfter[drive] = labels::ofUnit(world.unit.drive(drive));
  }
}

// A healthy unit again, then Refresh of both drives.
void refreshBoth(FaultWorld& world, ExplorerDialog& dialog, Window& window, Outcome& out) {
  world.recover();
  const std::size_t refreshFrom = world.desktop.shown().size();
  for (const DriveKind drive : {Internal, Removable}) {
    dialog.listDrive(drive);
    out.refreshedLabels[drive] = labels::ofList(drive == Internal ? window.internalList : window.removableList);
    out.refreshedUnit[drive] = labels::ofUnit(world.unit.drive(drive));
  }
  out.refreshShown = shownSince(world.desktop, refreshFrom);
}

// Starts the program, lets the user act once the window is up, records what happened, then
// plugs a healthy unit back in and lists both drives again.
Outcome runCase(const Case& c) {
  FaultWorld world(c.completionDelayMs);
  Outcome out;
  std::size_t shownFrom = 0;
  std::int64_t startMs = 0;
  const auto mark = [&] {
    arm(world.unit, c);
    world.unit.clearReceivedLines();
    for (const DriveKind drive : {Internal, Removable}) out.unitBefore[drive] = labels::ofUnit(world.unit.drive(drive));
    shownFrom = world.desktop.shown().size();
    startMs = world.clock.nowMs();
  };
  world.desktop.inExplorer([&](ExplorerDialog& dialog, Window& window) {
    if (!c.command->armedBeforeStartup) mark();
    out.labelsBefore[Internal] = labels::ofList(window.internalList);
    out.labelsBefore[Removable] = labels::ofList(window.removableList);
    c.command->run(dialog, window, world.desktop);
    recordAction(world, window, shownFrom, startMs, out);
    refreshBoth(world, dialog, window, out);
  });
  if (c.command->armedBeforeStartup) mark();
  ExplorerApp app;
  app.initInstance(world.desktop);
  return out;
}

// What the program may spend on the lines it sent: its drains, and per reply the limits a
// wait may run out (twice for a status reply: "R" and a missing CR), plus the time the unit
// itself takes (completion, delay, noise). A hang, or a wait longer than its limit, spends more.
std::int64_t budgetMs(const Case& c, const std::vector<sim::ReceivedLine>& log) {
  std::int64_t budget = 0;
  for (const auto& line : log) {
    const std::string& text = line.text;
    if (text == "?R")
      budget += kDrainMs + 2000;
    else if (text == "?D")
      budget += 3 * kDrainMs + 4 * 6000;
    else if (text == "?V")
      budget += 2 * kDrainMs + 7000;
    else
      budget += 3 * kDrainMs + 2 * ExplorerDialog::kReplyTimeoutMs;
    if (text.ends_with("CI") || text.ends_with("CR") || text.ends_with("DL") || text.ends_with("FO")) {
      budget += 2 * std::int64_t{kUnlimitedWaitCapMs} + c.completionDelayMs;
    }
    for (const Target& target : c.command->targets) {
      if (c.fault && text.ends_with(target.command)) budget += unitDelayMs(target, *c.fault, c.completionDelayMs);
    }
  }
  return budget;
}

// The time a transparent fault adds: the unit's own delays, each rule used as often as it
// applies.
std::int64_t transparentExtraMs(const Case& c, const std::vector<sim::ReceivedLine>& log) {
  std::vector<int> left;
  for (const Target& target : c.command->targets) left.push_back(target.times);
  std::int64_t extra = 0;
  for (const auto& line : log) {
    for (const sim::Reply reply : {sim::Reply::First, sim::Reply::Second}) {
      for (std::size_t i = 0; i < c.command->targets.size(); ++i) {
        const Target& target = c.command->targets[i];
        if (target.reply != reply || left[i] == 0 || !line.text.ends_with(target.command)) continue;
        extra += unitDelayMs(target, *c.fault, c.completionDelayMs);
        if (left[i] > 0) --left[i];
        break;
      }
    }
  }
  return extra;
}

// A select line counts as successful when its reply reached the program intact: it was not
// faulted, or the fault let the reply through. Delete, rename and format act on the drive
// selected, a copy on the drive its line names: both must be the drive the user acted on.
void expectDestructiveLinesOnlyWhereTheUserActed(const Case& c, const Outcome& out) {
  const bool selectionsFaulted = std::any_of(c.command->targets.begin(), c.command->targets.end(),
                                             [](const Target& target) { return std::string(target.command) == "SL"; });
  const bool selectionsSucceed = !selectionsFaulted || c.fault->effect == Effect::Transparent;
  std::optional<DriveKind> selected;
  for (const auto& line : out.log) {
    if (const auto drive = selectedByLine(line.text)) {
      selected = selectionsSucceed ? drive : std::nullopt;
      continue;
    }
    if (!isDestructive(line.text)) continue;
    if (line.text.ends_with("CI") || line.text.ends_with("CR")) {
      EXPECT_EQ(line.text.ends_with("CI") ? Internal : Removable, c.command->actedOn) << line.text;
      continue;
    }
    ASSERT_TRUE(selected.has_value()) << line.text << " sent without a successful selection";
    EXPECT_EQ(line.selectedDrive, *selected) << line.text << " reached another drive than the one selected";
    EXPECT_EQ(line.selectedDrive, c.command->actedOn) << line.text << " reached a drive the user did not act on";
  }
}

// The drive the user did not act on keeps every file; the one acted on loses only what the
// action may remove, or everything after a format the user confirmed.
void expectNothingLostUnasked(const Case& c, const Outcome& out) {
  const DriveKind acted = c.command->actedOn;
  const DriveKind other = acted == Internal ? Removable : Internal;
  EXPECT_EQ(out.unitAfter[other], out.unitBefore[other]) << "the drive the user did not act on changed";
  const bool formatConfirmed = std::count(out.shown.begin(), out.shown.end(), "Format Drive") > 0;
  const auto& mayLose = c.command->mayLose;
  if (formatConfirmed || (mayLose.size() == 1 && mayLose[0] == "*")) return;
  for (const std::string& label : out.unitBefore[acted]) {
    const bool kept = std::binary_search(out.unitAfter[acted].begin(), out.unitAfter[acted].end(), label);
    EXPECT_TRUE(kept || std::count(mayLose.begin(), mayLose.end(), label) > 0) << label << " lost unasked";
  }
}

// Dialogs after a wait that nothing ended come up exactly when the limit runs out.
void expectDialogsAtTheLimit(const Outcome& out) {
  for (const Shown& dialog : out.dialogs) {
    if (dialog.id != res::IDD_COMM_ERROR && dialog.id != res::IDD_COMM_FAILED && dialog.id != res::IDD_PORT_SELECT)
      continue;
    const auto before = std::find_if(out.log.rbegin(), out.log.rend(),
                                     [&](const sim::ReceivedLine& line) { return line.atUs / 1000 <= dialog.atMs; });
    ASSERT_NE(before, out.log.rend());
    const std::int64_t limit =
        dialog.id == res::IDD_PORT_SELECT ? ExplorerApp::kProbeTimeoutMs : ExplorerDialog::kReplyTimeoutMs;
    EXPECT_EQ(dialog.atMs - before->atUs / 1000, limit) << "dialog " << dialog.id << " after " << before->text;
  }
}

// A completion that never comes: the first dialog once the drain and the cap have passed since
// the operation's line, the one after Retry a cap later.
void expectCompletionDialogsAtTheCap(const Outcome& out) {
  const auto line = std::find_if(out.log.begin(), out.log.end(), [](const auto& l) { return isDestructive(l.text); });
  ASSERT_NE(line, out.log.end());
  ASSERT_EQ(out.dialogs.size(), 2u);
  EXPECT_EQ(out.dialogs[0].atMs - line->atUs / 1000, kDrainMs + kUnlimitedWaitCapMs);
  EXPECT_EQ(out.dialogs[1].atMs - out.dialogs[0].atMs, kUnlimitedWaitCapMs);
}

std::vector<std::string> logTexts(const Outcome& out) {
  std::vector<std::string> texts;
  for (const auto& line : out.log) texts.push_back(line.text);
  return texts;
}

// Nothing the program adds to a list is a file the unit does not hold: a row may only be
// stale (there before the action, gone on the unit when the exchange failed).
void expectNoInventedRows(const Outcome& out) {
  for (const DriveKind drive : {Internal, Removable}) {
    for (const std::string& label : out.labelsAfter[drive]) {
      const auto has = [&label](const std::vector<std::string>& labels) {
        return std::binary_search(labels.begin(), labels.end(), label);
      };
      EXPECT_TRUE(has(out.unitAfter[drive]) || has(out.labelsBefore[drive])) << label << " invented";
    }
  }
}

int passedCases = 0;
int runCases = 0;

class FaultMatrixTest : public ::testing::TestWithParam<Case> {};

TEST_P(FaultMatrixTest, HandlesTheFault) {
  const Case c = GetParam();
  const Outcome baseline = runCase({c.command, nullptr, c.completionDelayMs});
  const Outcome out = runCase(c);
  ++runCases;

  EXPECT_FALSE(out.hung);
  EXPECT_LE(out.elapsedMs, budgetMs(c, out.log)) << "waited beyond the limits";
  EXPECT_EQ(out.shown, c.command->expectedShown(*c.fault));
  EXPECT_EQ(out.cursorDepth, 0) << "wait cursor left on";
  EXPECT_FALSE(out.progressOpen);
  EXPECT_TRUE(out.windowEnabled);
  expectDestructiveLinesOnlyWhereTheUserActed(c, out);
  expectNothingLostUnasked(c, out);
  const bool completionOnly = std::string(c.command->name).ends_with("Done");
  if ((c.fault->mode == Mode::Silence || c.fault->mode == Mode::JustOutsideLimit) && !completionOnly) {
    expectDialogsAtTheLimit(out);
  }
  if (c.fault->mode == Mode::Silence && completionOnly) expectCompletionDialogsAtTheCap(out);
  if (c.command->isTransparent(*c.fault)) {
    EXPECT_EQ(logTexts(out), logTexts(baseline));
    EXPECT_EQ(out.rows[Internal], baseline.rows[Internal]);
    EXPECT_EQ(out.rows[Removable], baseline.rows[Removable]);
    EXPECT_EQ(out.elapsedMs, baseline.elapsedMs + transparentExtraMs(c, out.log));
  }
  // Raw data is taken as it comes: a listing of damaged data may show rows that no file backs,
  // until the next Refresh.
  if (std::string(c.command->name) != "Queries") expectNoInventedRows(out);
  if (std::string(c.command->name) == "Revision") {
    EXPECT_EQ(out.revision, expectedRevision(c.fault->mode));
  }
  if (c.fault->mode == Mode::Silence && std::string(c.command->name) == "Queries") {
    EXPECT_EQ(out.elapsedMs - baseline.elapsedMs, 2000 + 4 * 6000) << "the capacity wait and one per block";
  }
  if (c.fault->mode == Mode::Silence && std::string(c.command->name) == "Revision") {
    EXPECT_EQ(out.elapsedMs - baseline.elapsedMs, 7000);
  }

  EXPECT_TRUE(out.refreshShown.empty());
  for (const DriveKind drive : {Internal, Removable}) {
    EXPECT_EQ(out.refreshedLabels[drive], out.refreshedUnit[drive]) << "after a Refresh, drive " << drive;
  }
  if (!HasFailure()) ++passedCases;
}

// Units that finish at once, within the program's 100 ms drain, at its end, just after, and later.
std::vector<Case> allCases() {
  std::vector<Case> cases;
  for (const Command& command : kCommands) {
    const bool completes = std::any_of(command.targets.begin(), command.targets.end(),
                                       [](const Target& target) { return target.reply == sim::Reply::Second; });
    for (const FaultMode& fault : kFaultModes) {
      if (!completes) {
        cases.push_back({&command, &fault});
        continue;
      }
      for (const int delayMs : {0, 50, 100, 101, 300}) cases.push_back({&command, &fault, delayMs});
    }
  }
  return cases;
}

INSTANTIATE_TEST_SUITE_P(Matrix, FaultMatrixTest, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.command->name) + "_" + info.param.fault->name + "_" +
                                  std::to_string(info.param.completionDelayMs) + "ms";
                         });

// The start-up reads and writes "mav.cfg" in the working folder: a fresh one naming COM1.
class MatrixEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    folder_.emplace();
    std::ofstream(ExplorerApp::kConfigFile, std::ios::binary) << '1';
  }

  void TearDown() override {
    folder_.reset();
    std::printf(
        "fault matrix: %zu commands x %zu faults, copy, delete and format at 5 completion delays = %zu "
        "cases; this run: %d run, %d passed\n",
        kCommands.size(), kFaultModes.size(), allCases().size(), runCases, passedCases);
  }

 private:
  std::optional<WorkingFolder> folder_;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new MatrixEnvironment);

}  // namespace
}  // namespace faults
