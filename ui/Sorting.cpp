// Sorting by a header click: every row gets a key from its Name or Length cell, and the list
// sorts by those keys alone. Each click on a list reverses the direction of that list's
// previous click, whichever column it was on.
#include <initializer_list>

#include "protocol/Directory.h"
#include "ui/ExplorerDialog.h"

namespace {

bool isPlayable(const std::string& name) { return clipKind(name) <= PlayList; }

// The characters at the given 1-based positions; positions past the end are left out.
std::string charactersAt(const std::string& text, std::initializer_list<std::size_t> positions) {
  std::string picked;
  for (const auto position : positions) {
    if (position <= text.size()) picked += text[position - 1];
  }
  return picked;
}

// The direction flips on every click; which pair of codes depends on the column.
std::int32_t nextSortCode(std::int32_t previous, bool byName) {
  const bool previousOdd = previous % 2 != 0;
  if (byName) return previousOdd ? 2 : 1;
  return previousOdd ? 4 : 3;
}

}  // namespace

void ExplorerDialog::onColumnClick(DriveKind which, int column) {
  if (column < 0 || column > 2) return;
  auto& list = listOf(which);
  auto& sortCode = which == Internal ? internalSortCode : removableSortCode;
  const bool byName = column == 0;

  // The row count is read again each time round, as rows are keyed one by one.
  for (int row = 0; row < list.rowCount(); ++row) {
    const std::string name = list.cell(row, 0);
    std::int32_t key = -1;  // names the unit cannot play sort to one end
    if (isPlayable(name) && byName) {
      nameText = charactersAt(name, {4, 5, 6, 7, 8});  // "00" and the clip number
      key = directory::decimalValue(nameText);
    } else if (isPlayable(name)) {
      // HH:MM:SS as the number HHMMSS; a play list has no length and keys 0.
      lengthTextBuffer = charactersAt(list.cell(row, 1), {1, 2, 4, 5, 7, 8});
      key = directory::decimalValue(lengthTextBuffer);
    }
    list.setItemData(row, key);
  }
  sortCode = nextSortCode(sortCode, byName);
  list.sort(compareSortKeys, sortCode);
}
