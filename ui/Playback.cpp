// Playback: Play, Still, Stop, Loop Clip. The dialog remembers the clip it last cued, so a
// second Play of the same clip sends only the play line; anything that may have changed what
// the unit has cued (Stop, Loop Clip, another list) forgets it.
#include "platform/WaitCursor.h"
#include "protocol/CommandText.h"
#include "protocol/Directory.h"
#include "protocol/Lines.h"
#include "ui/ExplorerDialog.h"

namespace {

constexpr std::size_t kNameCharacters = 12;  // 8.3 as the Name column shows it
constexpr std::size_t kMinimumCueName = 8;   // the clip number ends at the 8th character

const char* playLine(const ExplorerDialog& dialog) { return lines::play(dialog.loopClip == 1); }

// Sends the play line of a clip that is cued. A refused play line means the unit has nothing
// cued (a select or an error 12's relisting on the way stopped it): the next Play cues again.
void playCued(ExplorerDialog& dialog, const std::string& name) {
  dialog.lastCuedClip = name;
  if (!dialog.sendCommand(playLine(dialog))) dialog.lastCuedClip.clear();
}

void showNotValid(platform::Desktop& desktop) {
  desktop.messageBox("The file you have chosen\nis not valid for playback.", "File Not Valid",
                     platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// Plays one clip of the current drive: selects the drive and cues the clip unless it is the
// one already cued. A refused selection has been reported by the transaction and ends here.
void playClip(ExplorerDialog& dialog, const std::string& name) {
  // An empty name never counts as cued: lastCuedClip is empty when nothing is.
  if (!name.empty() && name == dialog.lastCuedClip) {
    WaitCursor wait(dialog.desktop());
    playCued(dialog, name);
    return;
  }
  bool cued = false;
  {
    WaitCursor wait(dialog.desktop());
    if (!dialog.sendCommand(selectLine(dialog.currentDrive))) return;
    cued = dialog.cueClip(name);
    if (cued) playCued(dialog, name);
  }
  if (!cued) showNotValid(dialog.desktop());
}

}  // namespace

bool ExplorerDialog::cueClip(const std::string& name) {
  commandText.clear();
  if (clipKind(name) > PlayList || name.size() < kMinimumCueName) return false;
  commandText = lines::cue(std::string_view(name).substr(5, 3));  // the clip number: VID00123.MPG cues 123SE
  return sendCommand(commandText);
}

void ExplorerDialog::onPlay() {
  auto& list = listOf(currentDrive);
  // The row count is read again each time: an error 12 on the way re-lists the drive.
  for (int row = 0; row < list.rowCount(); ++row) {
    if (list.isSelected(row)) playClip(*this, list.cell(row, 0).substr(0, kNameCharacters));
  }
  list.setFocus();
}

void ExplorerDialog::onListDoubleClick(DriveKind which) {
  // The click has already focused the list in the window; focusing it again changes nothing
  // there and makes sure its drive is the one Play addresses.
  listOf(which).setFocus();
  onPlay();
}

void ExplorerDialog::onStill() {
  {
    WaitCursor wait(desktop_);
    sendCommand(lines::kStill);
  }
  listOf(currentDrive).setFocus();
}

void ExplorerDialog::onStop() {
  // Stop has no line of its own: selecting the drive stops it, and the next Play cues anew.
  WaitCursor wait(desktop_);
  sendCommand(selectLine(currentDrive));
  listOf(currentDrive).setFocus();
  lastCuedClip.clear();
}

void ExplorerDialog::onLoopClip() {
  // The check box has toggled itself; the new mode needs a new cue at the next Play.
  loopClip = loopClip == 0 ? 1 : 0;
  listOf(currentDrive).setFocus();
  lastCuedClip.clear();
}
