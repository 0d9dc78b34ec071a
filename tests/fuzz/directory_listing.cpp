// Fuzz target: a drive listing of whatever the unit sends for "?R" and "?D". The first byte
// chooses the drive and the column clicked afterwards; the next four answer "?R" and the rest
// answers "?D" (the drive selection gets "R" CR; the line then falls silent).
#include <cctype>
#include <string>

#include "FuzzSupport.h"

namespace {

bool isLengthText(const std::string& text) {
  if (text.size() != 8 || text[2] != ':' || text[5] != ':') return false;
  for (const std::size_t at : {0, 1, 3, 4, 6, 7}) {
    if (!std::isdigit(static_cast<unsigned char>(text[at]))) return false;
  }
  return text[3] < '6' && text[6] < '6';
}

// Digits grouped by "," then a suffix, as the Size column and the summary line write figures.
bool isGroupedFigure(const std::string& text, const std::string& suffix) {
  if (text.size() <= suffix.size() || text.compare(text.size() - suffix.size(), suffix.size(), suffix) != 0)
    return false;
  const std::string figure = text.substr(0, text.size() - suffix.size());
  for (std::size_t i = 0; i < figure.size(); ++i) {
    const bool commaPlace = (figure.size() - i) % 4 == 0;
    if (commaPlace ? figure[i] != ',' : !std::isdigit(static_cast<unsigned char>(figure[i]))) return false;
  }
  return figure.front() != ',';
}

void checkList(const platform::memory::MemoryListView& list) {
  fuzz::require(list.rowCount() <= 511, "more rows than records");
  for (const auto& row : list.rows()) {
    fuzz::require(row.cells[0].size() <= 12, "a name longer than 8.3");
    fuzz::require(row.cells[1].empty() || isLengthText(row.cells[1]), "a Length that is not HH:MM:SS");
    fuzz::require(isGroupedFigure(row.cells[2], "KB"), "a Size that is not a grouped figure in KB");
    fuzz::require(row.image >= 0 && row.image <= 4, "an image outside the list's five");
  }
}

void checkSummary(const std::string& text) {
  // A listing cut short shows what it used and no free figure it cannot know.
  if (text.ends_with("KB (listing incomplete)")) {
    fuzz::require(isGroupedFigure(text.substr(0, text.find(' ')), "KB"), "used space not a grouped figure");
    return;
  }
  const std::string middle = "KB (Disk free space: ";
  const auto at = text.find(middle);
  fuzz::require(at != std::string::npos && text.ends_with("MB)"), "a summary line of another form");
  fuzz::require(isGroupedFigure(text.substr(0, at + 2), "KB"), "used space not a grouped figure");
  fuzz::require(isGroupedFigure(text.substr(at + middle.size(), text.size() - at - middle.size() - 1), "MB"),
                "free space not a grouped figure");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t options = data[0];
  const std::string bytes(data + 1, data + size);
  fuzz::Session session({"R\r", bytes.substr(0, 4), bytes.size() > 4 ? bytes.substr(4) : std::string()}, false);
  ExplorerDialog& dialog = *session.dialog;
  const DriveKind drive = (options & 1) ? Internal : Removable;
  auto& list = drive == Internal ? session.window->internalList : session.window->removableList;

  fuzz::require(dialog.listDrive(drive), "the selection was answered, yet the listing failed");
  checkList(list);
  for (int row = 1; row < list.rowCount(); ++row) {
    fuzz::require(list.itemData(row - 1) <= list.itemData(row), "a listing not in ascending key order");
  }
  checkSummary(drive == Internal ? dialog.internalSummaryText : dialog.removableSummaryText);
  fuzz::require(session.desktop.cursorDepth() == 0, "wait cursor left on");
  fuzz::require(session.desktop.progress() == nullptr, "progress dialog left open");
  fuzz::require(session.window->window.isEnabled(), "main window left disabled");

  // A column sort keys rows from their own cells, whatever those hold.
  dialog.onColumnClick(drive, (options >> 1) & 3);
  checkList(list);
  return 0;
}
