#include "UiTest.h"

using platform::memory::Shown;

void UiTest::TearDown() {
  EXPECT_TRUE(cursorBalanced()) << "wait cursor left at depth " << desktop.cursorDepth();
  ExplorerFixture::TearDown();
}

void UiTest::stock(DriveKind drive, const std::vector<std::string>& names) {
  std::string manifest = drive == Internal ? "[internal]\n" : "[removable]\n";
  for (const auto& name : names) {
    manifest += name + " 1764000\n";  // ten seconds of clip
    addRow(drive, name, "00:00:10", "1,764KB");
  }
  seed(manifest);
}

int UiTest::addRow(DriveKind drive, const std::string& name, const std::string& length, const std::string& size) {
  auto& rows = list(drive);
  const int row = rows.insertRow(rows.rowCount(), name, 0);
  rows.setCell(row, 1, length);
  rows.setCell(row, 2, size);
  return row;
}

void UiTest::selectRow(DriveKind drive, const std::string& name) {
  const int row = list(drive).findLabel(name);
  ASSERT_GE(row, 0) << name;
  list(drive).select(row);
}

void UiTest::initialise() {
  dialog->onInitDialog();
  window->removableList.setFocus();
}

int UiTest::outerWaits() const {
  int depth = 0;
  int outer = 0;
  for (const auto& entry : desktop.shown()) {
    if (entry.kind == Shown::CursorBegin && depth++ == 0) ++outer;
    if (entry.kind == Shown::CursorEnd) --depth;
  }
  return outer;
}

bool UiTest::cursorBalanced() const {
  int depth = 0;
  for (const auto& entry : desktop.shown()) {
    if (entry.kind == Shown::CursorBegin) ++depth;
    if (entry.kind == Shown::CursorEnd && --depth < 0) return false;
  }
  return depth == 0;
}

std::vector<int> UiTest::menus() const {
  std::vector<int> result;
  for (const auto& menu : desktop.shownOf(Shown::Menu)) result.push_back(menu.id);
  return result;
}

std::vector<Shown::Kind> UiTest::shownKinds() const {
  std::vector<Shown::Kind> result;
  for (const auto& entry : desktop.shown()) result.push_back(entry.kind);
  return result;
}

sim::FaultRule faultOn(const std::string& command, sim::Fault fault, const std::string& code, int count, int times) {
  sim::FaultRule rule;
  rule.command = command;
  rule.fault = fault;
  rule.code = code;
  rule.count = count;
  rule.times = times;
  return rule;
}
