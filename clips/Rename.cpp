// Rename in place: the user edits a row's label; the typed name must pass the unit's name
// rule and be new to the list, then one rename line goes to the drive of that list and the
// row is rewritten here (label, picture, Length), without reading the directory again.
#include "clips/ClipName.h"
#include "clips/UnitCommands.h"
#include "platform/WaitCursor.h"
#include "protocol/CommandText.h"
#include "protocol/Directory.h"
#include "protocol/Lines.h"
#include "ui/ExplorerDialog.h"

namespace {

// A renamed file of no known kind shows the command-file picture until its drive is listed.
constexpr int kRenamedOtherImage = 3;
constexpr const char* kNoLength = "        ";
constexpr unsigned kWarning = platform::MB_OK | platform::MB_ICONEXCLAMATION;

void rewriteRow(platform::ListView& list, int row, const std::string& newName) {
  const unsigned kind = clipKind(newName);
  list.setCell(row, 0, newName);
  list.setImage(row, kind <= CommandFile ? static_cast<int>(kind) : kRenamedOtherImage);
  const bool timed = kind == VideoClip || kind == SoundClip;
  list.setCell(row, 1, timed ? directory::lengthOfSizeText(list.cell(row, 2)) : kNoLength);
}

}  // namespace

void ExplorerDialog::onRenameFile() {
  platform::ListView& list = listOf(currentDrive);
  const int row = list.firstSelected();
  if (row >= 0) list.editLabel(row);
}

void ExplorerDialog::onBeginLabelEdit(DriveKind list) {
  labelEditor = &listOf(list);
  labelEditor->limitEditText(kClipNameMaxLength);
  nameBeforeEdit = labelEditor->editText();
}

void ExplorerDialog::onEndLabelEdit(DriveKind drive, bool cancelled) {
  if (cancelled) return;  // Escape abandons the edit, whatever was typed
  platform::ListView& list = listOf(drive);
  const auto newName = validateClipName(list.editText());
  if (!newName) {
    desktop_.messageBox(kInvalidNameText, kInvalidNameCaption, kWarning);
    return;
  }
  const int row = list.firstSelected();  // the row being edited
  // Names are the same when the unit's name fields are: "ABC." and "ABC" name one file.
  const int holder = findClip(list, *newName);
  if (holder >= 0) {
    // The edited row itself: nothing changed, or only the letter case.
    if (holder == row || sameIgnoringCase(nameField(*newName), nameField(nameBeforeEdit))) return;
    desktop_.messageBox("A file with that name already exists on this drive,\nplease choose another name.",
                        "Rename Error", kWarning);
    return;
  }
  if (row < 0) return;  // no row to show the new name in: leave the unit alone too
  const auto oldField = fieldToSend(desktop_, nameBeforeEdit, "renamed");
  if (!oldField) return;

  WaitCursor waiting(desktop_);
  if (!selectDrive(*this, drive)) return;
  commandText = lines::rename(*oldField, nameField(*newName));
  if (!sendCommand(commandText)) return;
  rewriteRow(list, row, *newName);
}
