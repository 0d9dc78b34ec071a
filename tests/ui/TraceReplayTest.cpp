// A trace of the window's work, replayed as the unit: the same lists from the same lines, and
// a line the trace does not hold next is refused, never answered.
#include <gmock/gmock.h>

#include <sstream>

#include "link/SerialLink.h"
#include "sim/Replay.h"
#include "support/ExplorerFixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

class TraceReplayTest : public ExplorerFixture {
 protected:
  void SetUp() override {
    ExplorerFixture::SetUp();
    seed("[internal]\nVID00003.MPG 352800\n[removable]\nVID00012.MPG 1764000\nNOTES.TXT 1000\n");
    auto out = std::make_unique<std::ostringstream>();
    trace = out.get();
    serialLink.setTrace(std::make_unique<WireTrace>(std::move(out), "test", [this] { return clock.nowUs(); }));
    ASSERT_EQ(serialLink.open(0, 9600, 0), "");  // again, so that the trace has the opening
  }

  // Both drives listed, then `name` deleted from the Removable Drive (Yes, then `later`, if
  // given, for a box that follows); what the window shows.
  std::vector<std::string> work(const std::string& name, int later = 0) {
    dialog->listDrive(Internal);
    dialog->listDrive(Removable);
    list(Removable).select(list(Removable).findLabel(name));
    list(Removable).setFocus();
    desktop.answer(platform::IDYES);
    if (later != 0) desktop.answer(later);
    dialog->onDeleteFile();
    std::vector<std::string> shown{dialog->internalSummaryText, dialog->removableSummaryText};
    for (DriveKind drive : {Internal, Removable}) {
      for (int row = 0; row < list(drive).rowCount(); ++row) {
        shown.push_back(list(drive).cell(row, 0) + "|" + list(drive).cell(row, 1) + "|" + list(drive).cell(row, 2));
      }
    }
    return shown;
  }

  // The trace so far becomes the unit, behind a link opened anew for a new window.
  sim::Replay& replayTrace() {
    serialLink.close();  // writes the last burst
    std::string problem;
    recorded = trace->str();
    replay = sim::Replay::parse(recorded, &problem);
    EXPECT_TRUE(replay) << problem;
    closeDialog();
    serialLink.setPort(std::make_unique<sim::MemoryPort>(*replay, replayClock));
    EXPECT_EQ(serialLink.open(0, 9600, 0), "");
    desktop.setClock([this] { return replayClock.nowMs(); });
    openDialog();
    return *replay;
  }

  std::ostringstream* trace = nullptr;  // until the window is opened anew
  std::string recorded;
  std::unique_ptr<sim::Replay> replay;
  sim::VirtualClock replayClock;
};

TEST_F(TraceReplayTest, ATracedSessionReplaysToTheSameListsFromTheSameLines) {
  const auto shown = work("VID00012.MPG");
  const auto lines = takeLines();
  ASSERT_THAT(lines, ElementsAre("0SL", "?R", "?D", "1SL", "?R", "?D", "1SL", "VID00012MPGDL"));
  const std::int64_t tracedMs = clock.nowMs();

  sim::Replay& unit = replayTrace();
  EXPECT_EQ(work("VID00012.MPG"), shown);
  EXPECT_EQ(unit.linesAnswered(), lines.size());
  EXPECT_THAT(unit.refusals(), ElementsAre());
  // The recorded gaps are whole milliseconds: each exchange may come up to 1 ms sooner.
  EXPECT_LE(replayClock.nowMs(), tracedMs);
  EXPECT_GE(replayClock.nowMs(), tracedMs - static_cast<std::int64_t>(lines.size()));
}

TEST_F(TraceReplayTest, ADeleteTheTraceNeverSawIsRefusedAndTheRowStays) {
  work("VID00012.MPG");
  sim::Replay& unit = replayTrace();
  const auto shown = work("NOTES.TXT", platform::IDCANCEL);  // Cancel in the communication error box

  EXPECT_EQ(unit.linesAnswered(), 7u) << "the listings and the delete's drive selection are the trace's";
  ASSERT_FALSE(unit.refusals().empty());
  EXPECT_EQ(unit.refusals().front(),
            "refused line 8: received \"NOTES   TXTDL\\r\", the trace has \"VID00012MPGDL\\r\" (trace line 19); "
            "no reply");
  EXPECT_THAT(shown, testing::Contains(HasSubstr("NOTES.TXT")));
}

}  // namespace
