// Playback: the lines Play, Still, Stop and Loop Clip send, what the unit then plays, and the
// remembered cue that spares a second Play the selection and the cue.
#include <gmock/gmock.h>

#include <functional>

#include "UiTest.h"
#include "protocol/CommandText.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

class PlaybackTest : public UiTest {
 protected:
  // VID00123.MPG on the Removable Drive, selected, with the Removable list focused.
  void SetUp() override {
    UiTest::SetUp();
    stock(Removable, {"VID00123.MPG", "PLY00005.LST", "COMMAND1.BAT", "NOTACLIP.TXT"});
    stock(Internal, {"VID00042.MPG"});
    selectRow(Removable, "VID00123.MPG");
    focus(Removable);
  }

  // Presses Play and tells how often the wait cursor went up for it.
  int play() {
    const int before = outerWaits();
    dialog->onPlay();
    return outerWaits() - before;
  }

  const sim::PlayState& state() const { return unit.playState(); }
};

}  // namespace

TEST_F(PlaybackTest, FirstPlaySelectsCuesAndPlaysUnderOneWait) {
  EXPECT_EQ(play(), 1);
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "123SE", "PL"));
  EXPECT_EQ(dialog->lastCuedClip, "VID00123.MPG");
  EXPECT_EQ(state().selectedDrive, Removable);
  EXPECT_EQ(state().cuedClip, 123);
  EXPECT_TRUE(state().playing);
  EXPECT_FALSE(state().looping);
  EXPECT_THAT(boxes(), IsEmpty());
}

TEST_F(PlaybackTest, SecondPlayOfTheSameClipOnlyPlays) {
  play();
  takeLines();
  EXPECT_EQ(play(), 1);
  EXPECT_THAT(takeLines(), ElementsAre("PL"));
  EXPECT_TRUE(state().playing);
}

TEST_F(PlaybackTest, LoopClipMakesTheNextPlayCueAgainAndLoop) {
  play();
  takeLines();
  dialog->onLoopClip();
  EXPECT_EQ(dialog->loopClip, 1);
  EXPECT_EQ(dialog->lastCuedClip, "");
  EXPECT_THAT(takeLines(), IsEmpty());

  play();
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "123SE", "LP"));
  EXPECT_TRUE(state().playing);
  EXPECT_TRUE(state().looping);

  play();
  EXPECT_THAT(takeLines(), ElementsAre("LP"));
  dialog->onLoopClip();
  EXPECT_EQ(dialog->loopClip, 0);
}

TEST_F(PlaybackTest, StillKeepsTheCueForTheNextPlay) {
  play();
  takeLines();
  window->playButton.setFocus();
  dialog->onStill();
  EXPECT_THAT(takeLines(), ElementsAre("ST"));
  EXPECT_TRUE(state().still);
  EXPECT_FALSE(state().playing);
  EXPECT_EQ(desktop.focus.history.back(), "removableList");

  play();
  EXPECT_THAT(takeLines(), ElementsAre("PL"));
  EXPECT_TRUE(state().playing);
  EXPECT_FALSE(state().still);
}

TEST_F(PlaybackTest, StopSelectsTheCurrentDriveAndForgetsTheCue) {
  play();
  takeLines();
  window->stopButton.setFocus();
  dialog->onStop();
  EXPECT_THAT(takeLines(), ElementsAre("1SL"));
  EXPECT_EQ(dialog->lastCuedClip, "");
  EXPECT_FALSE(state().playing);
  EXPECT_EQ(state().cuedClip, -1);
  EXPECT_EQ(desktop.focus.history.back(), "removableList");

  play();
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "123SE", "PL"));
  EXPECT_TRUE(state().playing);
}

TEST_F(PlaybackTest, StopOnTheInternalDriveSelectsIt) {
  focus(Internal);
  dialog->onStop();
  EXPECT_THAT(takeLines(), ElementsAre("0SL"));
  EXPECT_EQ(state().selectedDrive, Internal);
}

TEST_F(PlaybackTest, NamesTheUnitCannotPlayAreRefusedAfterTheSelection) {
  for (const char* name : {"COMMAND1.BAT", "NOTACLIP.TXT"}) {
    dialog->lastCuedClip = "VID00999.MPG";
    selectRow(Removable, name);
    play();
    EXPECT_THAT(takeLines(), ElementsAre("1SL")) << name;
    EXPECT_THAT(boxes().back(), kNotValidBox) << name;
    EXPECT_EQ(desktop.shownOf(platform::memory::Shown::MessageBox).back().style,
              platform::MB_OK | platform::MB_ICONEXCLAMATION);
    // The selection stopped whatever the unit played: nothing is cued any more.
    EXPECT_EQ(dialog->lastCuedClip, "") << name;
  }
  EXPECT_EQ(boxes().size(), 2u);
  EXPECT_EQ(state().cuedClip, -1);
}

TEST_F(PlaybackTest, PlayListCuesLikeAClip) {
  selectRow(Removable, "PLY00005.LST");
  play();
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "005SE", "PL"));
  EXPECT_EQ(state().cuedClip, 5);
  EXPECT_TRUE(state().playing);
}

TEST_F(PlaybackTest, NothingSelectedSendsNothingAndFocusesTheList) {
  list(Removable).select(-1);
  window->playButton.setFocus();
  EXPECT_EQ(play(), 0);
  EXPECT_THAT(takeLines(), IsEmpty());
  EXPECT_EQ(desktop.focus.history.back(), "removableList");
}

TEST_F(PlaybackTest, DoubleClickPlaysFromTheListItMadeCurrent) {
  selectRow(Internal, "VID00042.MPG");
  dialog->onListDoubleClick(Internal);
  EXPECT_EQ(dialog->currentDrive, Internal);
  EXPECT_THAT(takeLines(), ElementsAre("0SL", "042SE", "PL"));
  EXPECT_EQ(state().selectedDrive, Internal);
  EXPECT_EQ(state().cuedClip, 42);
  EXPECT_EQ(dialog->lastCuedClip, "VID00042.MPG");

  dialog->onListDoubleClick(Internal);
  EXPECT_THAT(takeLines(), ElementsAre("PL"));
}

TEST_F(PlaybackTest, SwitchingListsBetweenPlaysCuesAgain) {
  play();
  takeLines();
  focus(Internal);
  focus(Removable);
  play();
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "123SE", "PL"));
}

TEST_F(PlaybackTest, RefusedSelectionStopsPlayAfterItsBox) {
  dialog->lastCuedClip = "VID00999.MPG";
  unit.addFault(faultOn("SL", sim::Fault::ErrorCode, "11"));
  play();
  EXPECT_THAT(takeLines(), ElementsAre("1SL"));
  EXPECT_THAT(boxes(), ElementsAre(kError11Box));
  EXPECT_EQ(dialog->lastCuedClip, "");
  EXPECT_THAT(dialogs(), IsEmpty());
}

TEST_F(PlaybackTest, CueOfAClipTheUnitLacksRelistsThenRefuses) {
  addRow(Removable, "VID00777.MPG", "00:00:10", "1,764KB");  // in the list, not on the unit
  selectRow(Removable, "VID00777.MPG");
  play();
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "777SE", "1SL", "?R", "?D"));
  EXPECT_THAT(boxes(), ElementsAre(kError12Box, kNotValidBox));
  EXPECT_EQ(list(Removable).findLabel("VID00777.MPG"), -1);  // the new listing dropped it
  EXPECT_EQ(dialog->lastCuedClip, "");
}

TEST_F(PlaybackTest, UnansweredCueIsReportedAsNotValid) {
  unit.addFault(faultOn("SE", sim::Fault::Silence));
  desktop.answer(platform::IDCANCEL);
  play();
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "123SE"));
  EXPECT_THAT(dialogs(), ElementsAre(144));
  EXPECT_THAT(boxes(), ElementsAre(kNotValidBox));
  EXPECT_EQ(dialog->lastCuedClip, "");
}

// A refused play line leaves nothing cued that a lone "PL" could play: the next Play cues again.
TEST_F(PlaybackTest, RefusedPlayLineForgetsTheCue) {
  unit.addFault(faultOn("PL", sim::Fault::ErrorCode, "04"));
  play();
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "123SE", "PL"));
  EXPECT_EQ(boxes().size(), 1u);
  EXPECT_EQ(dialog->lastCuedClip, "");
  play();
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "123SE", "PL"));
  EXPECT_EQ(dialog->lastCuedClip, "VID00123.MPG");
}

TEST_F(PlaybackTest, CueRefusesShortAndUnplayableNamesWithoutSending) {
  for (const char* name : {"", "V", "VID0012", "VID00123", "COMMAND1.BAT", "VID00123.TXT"}) {
    commandText = "stale";
    EXPECT_FALSE(dialog->cueClip(name)) << '"' << name << '"';
    EXPECT_EQ(commandText, "") << '"' << name << '"';
  }
  EXPECT_THAT(takeLines(), IsEmpty());
  EXPECT_TRUE(dialog->sendCommand("1SL"));
  EXPECT_TRUE(dialog->cueClip("VID00123.MPG"));
  EXPECT_EQ(commandText, "123SE");
  EXPECT_THAT(takeLines(), ElementsAre("1SL", "123SE"));
}

// A drive selection stops the unit's playback, whoever sent it: the next Play cues again
// instead of sending a lone "PL" that the unit would refuse.
TEST_F(PlaybackTest, AnyDriveSelectionMakesTheNextPlayCueAgain) {
  struct Action {
    const char* name;
    std::function<void()> run;
  };
  const Action actions[] = {{"Refresh", [&] { dialog->onRefresh(); }},
                            {"Delete",
                             [&] {
                               selectRow(Removable, "NOTACLIP.TXT");
                               desktop.answer(platform::IDYES);
                               dialog->onDeleteFile();
                             }},
                            {"Rename",
                             [&] {
                               selectRow(Removable, "PLY00005.LST");
                               dialog->onRenameFile();
                               list(Removable).typeInEditor("PLY00006.LST");
                               list(Removable).endEdit(false);
                             }},
                            {"RefusedCue", [&] {
                               selectRow(Removable, "COMMAND1.BAT");
                               play();
                             }}};
  for (const Action& action : actions) {
    SCOPED_TRACE(action.name);
    selectRow(Removable, "VID00123.MPG");
    play();
    action.run();
    takeLines();
    selectRow(Removable, "VID00123.MPG");
    play();
    EXPECT_THAT(takeLines(), ElementsAre("1SL", "123SE", "PL"));
    EXPECT_TRUE(state().playing);
    EXPECT_EQ(state().cuedClip, 123);
  }
}
