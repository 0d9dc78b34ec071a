// The explorer window: initialisation, the current drive and the arrows, summary lines, the
// context menu and its keyboard shortcut, Refresh.
#include <gmock/gmock.h>

#include "UiTest.h"
#include "res/Resources.h"

using platform::memory::MemoryListView;
using platform::memory::Shown;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::vector<std::string> kListingOfBoth = {"0SL", "0SL", "?R", "?D", "1SL", "1SL", "?R", "?D"};

void expectColumnsAndImages(const MemoryListView& list) {
  ASSERT_EQ(list.columns().size(), 3u) << list.name();
  const MemoryListView::Column expected[] = {
      {"Name", platform::ColumnFormat::Left, 112},
      {"Length", platform::ColumnFormat::Left, 67},
      {"Size", platform::ColumnFormat::Right, 67},
  };
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(list.columns()[i].heading, expected[i].heading) << list.name();
    EXPECT_EQ(list.columns()[i].format, expected[i].format) << list.name();
    EXPECT_EQ(list.columns()[i].width, expected[i].width) << list.name();
  }
  EXPECT_THAT(list.images(), ElementsAre(138, 139, 164, 192, 163)) << list.name();
}

// Both lists and summaries empty, and still the Removable list current with its arrow.
void expectNothingListed(const platform::memory::MemoryExplorerWindow& window, const ExplorerDialog& dialog) {
  EXPECT_EQ(window.internalList.rowCount(), 0);
  EXPECT_EQ(window.removableList.rowCount(), 0);
  EXPECT_EQ(window.internalSummary.text(), "");
  EXPECT_EQ(window.removableSummary.text(), "");
  EXPECT_EQ(dialog.currentDrive, Removable);
  EXPECT_TRUE(window.toInternalButton.isEnabled());
  EXPECT_FALSE(window.toRemovableButton.isEnabled());
}

}  // namespace

TEST_F(UiTest, InitialisationListsInternalFirstWhileTheSplashStands) {
  seed("[internal]\nVID00002.MPG 352800\n[removable]\nVID00001.MPG 176400\nSND00003.WAV 176400\n");
  initialise();

  EXPECT_EQ(takeLines(), kListingOfBoth);
  const auto kinds = shownKinds();
  ASSERT_GE(kinds.size(), 2u);
  EXPECT_EQ(kinds.front(), Shown::SplashShown);
  EXPECT_EQ(desktop.shownOf(Shown::SplashShown).front().id, res::IDB_SPLASH);
  EXPECT_EQ(kinds.back(), Shown::SplashHidden);
  EXPECT_EQ(window->window.updates(), 1);
  expectColumnsAndImages(window->internalList);
  expectColumnsAndImages(window->removableList);
  EXPECT_THAT(window->internalList.labels(), ElementsAre("VID00002.MPG"));
  EXPECT_THAT(window->removableList.labels(), ElementsAre("VID00001.MPG", "SND00003.WAV"));
  EXPECT_EQ(dialog->currentDrive, Removable);
  EXPECT_THAT(boxes(), IsEmpty());
  EXPECT_THAT(dialogs(), IsEmpty());
}

TEST_F(UiTest, InitialFocusMakesRemovableCurrentEvenWhenOnlyInternalWasListed) {
  seed("[internal]\nVID00002.MPG 352800\n[removable]\nabsent\n");
  initialise();

  EXPECT_THAT(takeLines(), ElementsAre("0SL", "0SL", "?R", "?D", "1SL"));
  EXPECT_EQ(window->internalList.rowCount(), 1);
  EXPECT_EQ(dialog->currentDrive, Removable);
  EXPECT_TRUE(window->toInternalButton.isEnabled());
  EXPECT_FALSE(window->toRemovableButton.isEnabled());
  EXPECT_THAT(boxes(), IsEmpty());
}

TEST_F(UiTest, SilentProbesLeaveBothListsEmptyWhateverTheUserAnswers) {
  unit.addFault(faultOn("SL", sim::Fault::Silence, "", 0, 2));
  desktop.answer(platform::IDOK);  // Retry: a probe is not sent again
  desktop.answer(platform::IDCANCEL);
  initialise();

  EXPECT_THAT(takeLines(), ElementsAre("0SL", "1SL"));
  EXPECT_THAT(dialogs(), ElementsAre(res::IDD_COMM_ERROR, res::IDD_COMM_ERROR));
  EXPECT_THAT(boxes(), IsEmpty());
  expectNothingListed(*window, *dialog);
  // Each probe waits its 5000 ms after the 100 ms drain that precedes every line.
  const auto shownDialogs = desktop.shownOf(Shown::Dialog);
  EXPECT_EQ(shownDialogs[0].atMs, 5100);
  EXPECT_EQ(shownDialogs[1].atMs, 10200);
}

TEST_F(UiTest, RefusedProbesLeaveBothListsEmptyWithoutAMessage) {
  unit.addFault(faultOn("SL", sim::Fault::ErrorCode, "11", 0, 2));
  initialise();

  EXPECT_THAT(takeLines(), ElementsAre("0SL", "1SL"));
  EXPECT_THAT(boxes(), IsEmpty());
  EXPECT_THAT(dialogs(), IsEmpty());
  expectNothingListed(*window, *dialog);
}

TEST_F(UiTest, InitialisationGoesOnWithoutASplash) {
  desktop.failSplash();
  seed("[internal]\nVID00002.MPG 352800\n");
  initialise();

  EXPECT_EQ(window->internalList.rowCount(), 1);
  EXPECT_THAT(desktop.shownOf(Shown::SplashHidden), IsEmpty());
  EXPECT_EQ(window->window.updates(), 1);
}

TEST_F(UiTest, FocusMovesTheCurrentDriveAndTheEnabledArrow) {
  focus(Internal);
  EXPECT_EQ(dialog->currentDrive, Internal);
  EXPECT_FALSE(window->toInternalButton.isEnabled());
  EXPECT_TRUE(window->toRemovableButton.isEnabled());

  focus(Removable);
  EXPECT_EQ(dialog->currentDrive, Removable);
  EXPECT_TRUE(window->toInternalButton.isEnabled());
  EXPECT_FALSE(window->toRemovableButton.isEnabled());
}

TEST_F(UiTest, SwitchingListsForgetsTheCuedClip) {
  focus(Removable);
  dialog->lastCuedClip = "VID00001.MPG";
  focus(Internal);
  EXPECT_EQ(dialog->lastCuedClip, "");

  dialog->lastCuedClip = "VID00002.MPG";
  focus(Removable);
  EXPECT_EQ(dialog->lastCuedClip, "");
}

TEST_F(UiTest, FocusBackOnTheCurrentDrivesListKeepsTheCuedClip) {
  focus(Removable);
  dialog->lastCuedClip = "VID00001.MPG";
  window->playButton.setFocus();
  focus(Removable);
  EXPECT_EQ(dialog->lastCuedClip, "VID00001.MPG");

  // A listing changes the current drive without forgetting; the focus then agrees with it.
  dialog->currentDrive = Internal;
  focus(Internal);
  EXPECT_EQ(dialog->lastCuedClip, "VID00001.MPG");
}

TEST_F(UiTest, RemovableClickShowsTheSelectedSizeOrTheDriveSummary) {
  dialog->removableSummaryText = "3,528KB (Disk free space: 30MB)";
  addRow(Removable, "VID00001.MPG", "00:00:10", "1,764KB");
  addRow(Removable, "VID00002.MPG", "00:00:20", "3,528KB");

  selectRow(Removable, "VID00002.MPG");
  dialog->onRemovableListClick();
  EXPECT_EQ(window->removableSummary.text(), "3,528KB");
  EXPECT_EQ(dialog->sizeTextBuffer, "3,528KB");

  window->removableList.select(-1);
  dialog->onRemovableListClick();
  EXPECT_EQ(window->removableSummary.text(), "3,528KB (Disk free space: 30MB)");
  EXPECT_EQ(window->internalSummary.text(), "");
}

TEST_F(UiTest, InternalSummaryFollowsTheSelectionOnlyWhenTheListGainsFocus) {
  dialog->internalSummaryText = "1,764KB (Disk free space: 32MB)";
  addRow(Internal, "VID00001.MPG", "00:00:10", "1,764KB");
  addRow(Internal, "SND00002.WAV", "00:00:05", "882KB");

  focus(Internal);
  EXPECT_EQ(window->internalSummary.text(), "1,764KB (Disk free space: 32MB)");

  selectRow(Internal, "SND00002.WAV");  // a click while the list has the focus
  EXPECT_EQ(window->internalSummary.text(), "1,764KB (Disk free space: 32MB)");

  focus(Removable);
  focus(Internal);
  EXPECT_EQ(window->internalSummary.text(), "882KB");
  EXPECT_EQ(window->removableSummary.text(), "");
}

TEST_F(UiTest, RightClickOnARowOffersTheFullMenuAtThePointer) {
  addRow(Removable, "VID00001.MPG");
  selectRow(Removable, "VID00001.MPG");
  focus(Removable);
  dialog->onListRightClick();
  dialog->onContextMenu(300, 200);

  const auto shown = desktop.shownOf(Shown::Menu);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].id, res::IDR_MENU_SELECTION);
  EXPECT_EQ(shown[0].x, 300);
  EXPECT_EQ(shown[0].y, 200);
  EXPECT_EQ(dialog->menuArmed, 0);
}

TEST_F(UiTest, MenuOfTheCurrentListWithoutSelectionGraysRenameAndDelete) {
  addRow(Internal, "VID00001.MPG");
  addRow(Removable, "VID00002.MPG");
  selectRow(Internal, "VID00001.MPG");  // the other list's selection does not count
  focus(Removable);
  dialog->onListRightClick();
  dialog->onContextMenu(10, 10);
  EXPECT_THAT(menus(), ElementsAre(res::IDR_MENU_NO_SELECTION));
}

TEST_F(UiTest, NoMenuAfterADismissalUntilAListIsArmedAgain) {
  focus(Removable);
  dialog->onContextMenu(10, 10);  // armed by the focus
  dialog->onContextMenu(20, 20);  // the dialog's background straight after
  EXPECT_THAT(menus(), ElementsAre(res::IDR_MENU_NO_SELECTION));

  dialog->onListRightClick();
  dialog->onContextMenu(30, 30);
  focus(Internal);
  dialog->onContextMenu(40, 40);
  EXPECT_EQ(menus().size(), 3u);
}

TEST_F(UiTest, ChosenMenuItemRunsItsCommandAfterTheMenuIsDisarmed) {
  seed("[removable]\nVID00001.MPG 176400\n");
  focus(Removable);
  desktop.chooseMenu(res::ID_REFRESH);
  dialog->onContextMenu(10, 10);

  EXPECT_THAT(takeLines(), ElementsAre("1SL", "?R", "?D"));
  EXPECT_THAT(window->removableList.labels(), ElementsAre("VID00001.MPG"));
  EXPECT_EQ(dialog->menuArmed, 0);
}

TEST_F(UiTest, MenuIsDisarmedBeforeTheChosenCommandRuns) {
  // What menuArmed was each time something was shown: the menu, then the format's question.
  std::vector<std::int32_t> armedWhenShown;
  desktop.setClock([this, &armedWhenShown] {
    armedWhenShown.push_back(dialog->menuArmed);
    return clock.nowMs();
  });
  focus(Removable);
  desktop.chooseMenu(res::ID_FORMAT_DRIVE);
  desktop.answer(platform::IDNO);
  dialog->onContextMenu(10, 10);

  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].substr(0, 13), "Format Drive|");
  EXPECT_THAT(armedWhenShown, ElementsAre(1, 0));
  EXPECT_THAT(takeLines(), IsEmpty());
}

TEST_F(UiTest, ShiftF10OpensTheMenuNearTheClientCorner) {
  struct Case {
    QueuedMessage message;
    bool shift;
    bool handled;
  };
  const Case cases[] = {
      {{QueuedMessage::KeyDown, VK_F10}, true, true},      {{QueuedMessage::SysKeyDown, VK_F10}, true, true},
      {{QueuedMessage::ContextMenu, 0}, false, true},      {{QueuedMessage::KeyDown, VK_F10}, false, false},
      {{QueuedMessage::SysKeyDown, VK_F10}, false, false}, {{QueuedMessage::KeyDown, 0x78}, true, false},  // F9
      {{QueuedMessage::Other, VK_F10}, true, false},
  };
  window->window.originX = 40;
  window->window.originY = 60;
  for (const auto& each : cases) {
    dialog->menuArmed = 1;
    const auto menusBefore = menus().size();
    desktop.setShiftDown(each.shift);
    EXPECT_EQ(dialog->preTranslateMessage(each.message), each.handled)
        << "type " << each.message.type << " key " << each.message.virtualKey << " shift " << each.shift;
    EXPECT_EQ(menus().size(), menusBefore + (each.handled ? 1 : 0));
  }
  for (const auto& menu : desktop.shownOf(Shown::Menu)) {
    EXPECT_EQ(menu.x, 45);
    EXPECT_EQ(menu.y, 65);
  }
}

TEST_F(UiTest, SecondShiftF10AfterADismissalShowsNothing) {
  desktop.setShiftDown(true);
  focus(Removable);
  EXPECT_TRUE(dialog->preTranslateMessage({QueuedMessage::KeyDown, VK_F10}));
  EXPECT_TRUE(dialog->preTranslateMessage({QueuedMessage::KeyDown, VK_F10}));
  EXPECT_EQ(menus().size(), 1u);
}

// F5, F2 and Delete act on the list that has the focus as its menu items do; anywhere else,
// and with Alt held (a system key), they are not the window's.
TEST_F(UiTest, FileManagerKeysOnAListDoWhatTheirMenuItemsDo) {
  const int internalList = res::IDC_INTERNAL_LIST;
  const struct Case {
    QueuedMessage message;
    bool selected;
    bool handled;
    std::vector<std::string> lines;
    std::size_t boxes;
    bool editing;
  } cases[] = {
      {{QueuedMessage::KeyDown, VK_F5, internalList}, false, true, {"0SL", "?R", "?D"}, 0, false},
      {{QueuedMessage::KeyDown, VK_F2, internalList}, true, true, {}, 0, true},
      {{QueuedMessage::KeyDown, VK_F2, internalList}, false, true, {}, 0, false},
      {{QueuedMessage::KeyDown, VK_DELETE, internalList}, true, true, {}, 1, false},  // answered No
      {{QueuedMessage::KeyDown, VK_DELETE, internalList}, false, true, {}, 0, false},
      {{QueuedMessage::KeyDown, VK_F5, res::IDC_PLAY}, false, false, {}, 0, false},
      {{QueuedMessage::KeyDown, VK_DELETE, 0}, true, false, {}, 0, false},
      {{QueuedMessage::SysKeyDown, VK_F5, internalList}, false, false, {}, 0, false},
  };
  stock(Internal, {"VID00002.MPG"});
  focus(Internal);
  for (const Case& each : cases) {
    SCOPED_TRACE("key " + std::to_string(each.message.virtualKey) + " on " + std::to_string(each.message.controlId));
    window->internalList.select(each.selected ? 0 : -1);
    const auto boxesBefore = boxes().size();
    if (each.boxes) desktop.answer(platform::IDNO);
    EXPECT_EQ(dialog->preTranslateMessage(each.message), each.handled);
    EXPECT_EQ(takeLines(), each.lines);
    ASSERT_EQ(boxes().size() - boxesBefore, each.boxes);
    if (each.boxes) {
      EXPECT_EQ(boxes().back().substr(0, 15), "Delete File(s)|");
    }
    EXPECT_EQ(window->internalList.isEditing(), each.editing);
    if (window->internalList.isEditing()) window->internalList.endEdit(true);
  }
}

TEST_F(UiTest, RefreshListsOnlyTheCurrentDrive) {
  const struct {
    DriveKind drive;
    std::vector<std::string> lines;
  } cases[] = {
      {Internal, {"0SL", "?R", "?D"}},
      {Removable, {"1SL", "?R", "?D"}},
  };
  seed("[internal]\nVID00002.MPG 352800\n[removable]\nVID00001.MPG 176400\n");
  for (const auto& each : cases) {
    dialog->currentDrive = each.drive;
    dialog->onRefresh();
    EXPECT_EQ(takeLines(), each.lines) << "current drive " << each.drive;
  }
  EXPECT_THAT(window->internalList.labels(), ElementsAre("VID00002.MPG"));
  EXPECT_THAT(window->removableList.labels(), ElementsAre("VID00001.MPG"));
}
