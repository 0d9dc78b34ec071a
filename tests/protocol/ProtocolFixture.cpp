#include "ProtocolFixture.h"

#include <algorithm>

using platform::memory::Shown;

directory::Record makeRecord(std::string_view nameField, std::uint32_t size, std::uint8_t attribute) {
  directory::Record record{};
  std::fill(record.begin(), record.begin() + 11, std::uint8_t{' '});
  std::copy_n(nameField.begin(), std::min<std::size_t>(nameField.size(), 11), record.begin());
  record[11] = attribute;
  for (int i = 0; i < 4; ++i) record[28 + i] = static_cast<std::uint8_t>(size >> (8 * i));
  return record;
}

void ProtocolFixture::SetUp() {
  ExplorerFixture::SetUp();
  unit.setLineObserver([this](const std::string& line) {
    lines.push_back({line, clock.nowMs(), desktop.cursorDepth(), window->window.isEnabled()});
  });
}

void ProtocolFixture::TearDown() {
  EXPECT_EQ(desktop.cursorDepth(), 0) << "a wait cursor was left up";
  EXPECT_EQ(shownCount(Shown::CursorBegin), shownCount(Shown::CursorEnd));
  EXPECT_EQ(desktop.unansweredCount(), 0) << "a box or dialog came up that the test did not expect";
  unit.setLineObserver(nullptr);
  ExplorerFixture::TearDown();
}

void ProtocolFixture::putRecords(DriveKind drive, const std::vector<directory::Record>& records,
                                 std::size_t firstSlot) {
  auto& table = unit.drive(drive).directory;
  table.fill(0);
  for (std::size_t i = 0; i < records.size() && firstSlot + i < directory::kRecordCount; ++i) {
    std::copy(records[i].begin(), records[i].end(), table.begin() + (firstSlot + i) * directory::kRecordBytes);
  }
}

void ProtocolFixture::addFault(const std::string& command, sim::Fault fault, int count, int times) {
  sim::FaultRule rule;
  rule.command = command;
  rule.fault = fault;
  rule.count = count;
  rule.times = times;
  unit.addFault(rule);
}

void ProtocolFixture::addErrorCode(const std::string& command, const std::string& code, int times) {
  sim::FaultRule rule;
  rule.command = command;
  rule.fault = sim::Fault::ErrorCode;
  rule.code = code;
  rule.times = times;
  unit.addFault(rule);
}

std::int64_t ProtocolFixture::sentAtMs(const std::string& text) const {
  for (const auto& line : lines) {
    if (line.line == text) return line.atMs;
  }
  return -1;
}

std::vector<std::string> ProtocolFixture::rows(DriveKind drive) {
  std::vector<std::string> result;
  for (const auto& row : list(drive).rows()) {
    result.push_back(row.cells[0] + "|" + row.cells[1] + "|" + row.cells[2] + "|" + std::to_string(row.image) + "|" +
                     std::to_string(row.data));
  }
  return result;
}
