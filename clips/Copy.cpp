// Copy between drives: the unit copies, the dialog names the clip in one line, waits for the
// reply that ends the copy and then adds the row to the destination list itself, without
// reading that drive's directory again.
#include "clips/ClipName.h"
#include "clips/UnitCommands.h"
#include "platform/WaitCursor.h"
#include "protocol/CommandText.h"
#include "protocol/Directory.h"
#include "protocol/Lines.h"
#include "ui/ExplorerDialog.h"

namespace {

// A copied name of no known kind shows the play-list picture until its drive is listed.
constexpr int kCopiedOtherImage = 2;
constexpr std::size_t kLengthTextMax = 8;
constexpr std::size_t kSizeTextMax = 10;

struct CopiedRow {
  std::string name;
  std::string length;
  std::string size;
  std::int32_t sortKey = 0;
};

CopiedRow readRow(const platform::ListView& list, int row) {
  return {list.cell(row, 0).substr(0, kClipNameMaxLength), list.cell(row, 1).substr(0, kLengthTextMax),
          list.cell(row, 2).substr(0, kSizeTextMax), list.itemData(row)};
}

int copiedImage(const std::string& name) {
  const unsigned kind = clipKind(name);
  return kind <= CommandFile ? static_cast<int>(kind) : kCopiedOtherImage;
}

void appendRow(platform::ListView& list, const CopiedRow& copied) {
  const int row = list.insertRow(list.rowCount(), copied.name, copiedImage(copied.name));
  list.setItemData(row, copied.sortKey);
  list.setCell(row, 1, copied.length);
  list.setCell(row, 2, copied.size);
}

}  // namespace

void ExplorerDialog::onCopyToInternal() { copySelected(Removable, Internal); }

void ExplorerDialog::onCopyToRemovable() { copySelected(Internal, Removable); }

void ExplorerDialog::copySelected(DriveKind from, DriveKind to) {
  platform::ListView& source = listOf(from);
  platform::ListView& destination = listOf(to);
  // The row count is read again each time: a follow-up of an error reply may re-list a drive.
  for (int row = 0; row < source.rowCount(); ++row) {
    if (!source.isSelected(row)) continue;
    const CopiedRow copied = readRow(source, row);
    if (findClip(destination, copied.name) >= 0) continue;  // already there: skipped without a word
    const auto field = fieldToSend(desktop_, copied.name, "copied");
    if (!field) continue;

    WaitCursor waiting(desktop_);
    commandText = lines::copy(*field, to);
    if (!runOperation(commandText, to)) continue;
    appendRow(destination, copied);
    const std::int32_t listed = to == Internal ? internalListed : removableListed;
    destination.sort(compareSortKeys, listed == 0 ? 1 : 0);
  }
}
