#include "ui/ExplorerDialog.h"
#include "link/SerialLink.h"
#include "protocol/CommandText.h"

#include <iterator>

#include "res/Resources.h"
#include "ui/SplashWindow.h"

namespace {

// The small images of both lists, in the order of the image indexes the listing gives rows.
constexpr int kListIcons[] = {res::IDI_VIDEO, res::IDI_SOUND, res::IDI_PLAYLIST, res::IDI_COMMAND, res::IDI_OTHER};
constexpr int kListIconCount = static_cast<int>(std::size(kListIcons));

void addColumns(platform::ListView& list) {
  list.insertColumn(0, "Name", platform::ColumnFormat::Left, 112);
  list.insertColumn(1, "Length", platform::ColumnFormat::Left, 67);
  list.insertColumn(2, "Size", platform::ColumnFormat::Right, 67);
}

// Asks whether the drive answers before reading its directory. An error reply (an absent
// drive) leaves its list empty without a message; silence gets the communication dialog,
// and the drive is not listed whatever the user answers (Refresh reads it later).
void probeAndList(ExplorerDialog& dialog, DriveKind drive) {
  commandText = selectLine(drive);
  commandText += '\r';
  serialLink.sendLine(commandText);
  if (dialog.waitReply(ExplorerDialog::kReplyTimeoutMs, false)) dialog.listDrive(drive);
}

}  // namespace

ExplorerDialog::ExplorerDialog(platform::Desktop& desktop) : desktop_(desktop) {}

void ExplorerDialog::attach(const ExplorerControls& bound) {
  controls = bound;
  if (controls.loopClipCheck) controls.loopClipCheck->setCheck(loopClip != 0);
}

platform::ListView& ExplorerDialog::listOf(DriveKind drive) {
  return drive == Internal ? *controls.internalList : *controls.removableList;
}

bool ExplorerDialog::onCommand(int commandId) {
  switch (commandId) {
    case res::IDC_ABOUT: onAbout(); break;
    case res::IDC_PLAY: onPlay(); break;
    case res::IDC_STILL: onStill(); break;
    case res::IDC_STOP: onStop(); break;
    case res::IDC_TO_INTERNAL: onCopyToInternal(); break;
    case res::IDC_TO_REMOVABLE: onCopyToRemovable(); break;
    case res::IDC_LOOP_CLIP: onLoopClip(); break;
    case res::ID_DELETE_FILE: onDeleteFile(); break;
    case res::ID_RENAME_FILE: onRenameFile(); break;
    case res::ID_FORMAT_DRIVE: onFormatDrive(); break;
    case res::ID_REFRESH: onRefresh(); break;
    default: return false;
  }
  return true;
}

// The window icons and the minimised window's icon are the front-end's: nothing to do here.
void ExplorerDialog::onInitDialog() {
  // The splash stands while both directories are read over the line.
  SplashWindow::enable(true);
  SplashWindow::show(desktop_, controls.window);

  controls.internalList->setImageList(kListIcons, kListIconCount);
  controls.removableList->setImageList(kListIcons, kListIconCount);
  addColumns(*controls.internalList);
  addColumns(*controls.removableList);

  // Internal first: each listing makes its drive current, and the initial focus on the
  // Removable list then makes that one current whatever the probes gave.
  probeAndList(*this, Internal);
  probeAndList(*this, Removable);

  SplashWindow::hide();
  controls.window->update();
}

void ExplorerDialog::onRemovableListFocus() {
  if (currentDrive == Internal) lastCuedClip.clear();
  menuArmed = 1;
  currentDrive = Removable;
  controls.toRemovableButton->enable(false);
  controls.toInternalButton->enable(true);
}

void ExplorerDialog::onInternalListFocus() {
  if (currentDrive == Removable) lastCuedClip.clear();
  menuArmed = 1;
  currentDrive = Internal;
  controls.toInternalButton->enable(false);
  controls.toRemovableButton->enable(true);
  showSummary(Internal);
}

void ExplorerDialog::onRemovableListClick() { showSummary(Removable); }

// The line under a list: the selected clip's Size cell, or the drive's totals without one.
void ExplorerDialog::showSummary(DriveKind drive) {
  auto& summary = drive == Internal ? *controls.internalSummary : *controls.removableSummary;
  const auto& list = listOf(drive);
  const int selected = list.firstSelected();
  if (selected < 0) {
    summary.setText(drive == Internal ? internalSummaryText : removableSummaryText);
    return;
  }
  sizeTextBuffer = list.cell(selected, 2);
  summary.setText(sizeTextBuffer);
}

void ExplorerDialog::onRefresh() { listDrive(currentDrive); }
