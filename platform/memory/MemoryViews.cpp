#include "platform/memory/MemoryViews.h"

#include <algorithm>
#include <cctype>

namespace platform::memory {

namespace {

bool equalIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
           return std::tolower(x) == std::tolower(y);
         });
}

}  // namespace

void FocusTracker::moveTo(const void* control, const std::string& name, const std::function<void()>& onFocus) {
  if (focused_ == control) return;  // a control that has the focus does not gain it again
  focused_ = control;
  history.push_back(name);
  if (onFocus) onFocus();
}

void MemoryListView::insertColumn(int column, const std::string& heading, ColumnFormat format, int widthPixels) {
  const auto at = std::clamp(column, 0, static_cast<int>(columns_.size()));
  columns_.insert(columns_.begin() + at, Column{heading, format, widthPixels});
}

int MemoryListView::insertRow(int index, const std::string& label, int image) {
  const int at = std::clamp(index, 0, rowCount());
  Row row;
  row.cells[0] = label;
  row.image = image;
  rows_.insert(rows_.begin() + at, row);
  return at;
}

void MemoryListView::setCell(int row, int column, const std::string& text) {
  if (valid(row) && column >= 0 && column < 3) rows_[row].cells[column] = text;
}

std::string MemoryListView::cell(int row, int column) const {
  if (!valid(row) || column < 0 || column >= 3) return {};
  return rows_[row].cells[column];
}

void MemoryListView::setImage(int row, int image) {
  if (valid(row)) rows_[row].image = image;
}

int MemoryListView::image(int row) const { return valid(row) ? rows_[row].image : -1; }

void MemoryListView::setItemData(int row, std::int32_t data) {
  if (valid(row)) rows_[row].data = data;
}

std::int32_t MemoryListView::itemData(int row) const { return valid(row) ? rows_[row].data : 0; }

bool MemoryListView::isSelected(int row) const { return valid(row) && rows_[row].selected; }

void MemoryListView::select(int row) {
  for (auto& each : rows_) each.selected = false;
  if (valid(row)) rows_[row].selected = true;
}

int MemoryListView::firstSelected() const {
  for (int row = 0; row < rowCount(); ++row) {
    if (rows_[row].selected) return row;
  }
  return -1;
}

void MemoryListView::deleteRow(int row) {
  if (valid(row)) rows_.erase(rows_.begin() + row);
}

int MemoryListView::findLabel(const std::string& text) const {
  for (int row = 0; row < rowCount(); ++row) {
    if (equalIgnoringCase(rows_[row].cells[0], text)) return row;
  }
  return -1;
}

void MemoryListView::sort(CompareFunction compare, std::int32_t sortCode) {
  ++sortCount_;
  lastSortCode_ = sortCode;
  std::stable_sort(rows_.begin(), rows_.end(),
                   [&](const Row& a, const Row& b) { return compare(a.data, b.data, sortCode) < 0; });
}

void MemoryListView::editLabel(int row) {
  if (!valid(row)) return;
  setFocus();
  editRow_ = row;
  editLimit_ = 0;
  editText_ = rows_[row].cells[0];
  if (onBeginEdit) onBeginEdit();
}

void MemoryListView::typeInEditor(const std::string& text) {
  editText_ = editLimit_ > 0 ? text.substr(0, static_cast<std::size_t>(editLimit_)) : text;
}

void MemoryListView::endEdit(bool cancelled) {
  if (editRow_ < 0) return;
  editRow_ = -1;
  if (onEndEdit) onEndEdit(cancelled);
}

std::vector<std::string> MemoryListView::labels() const {
  std::vector<std::string> result;
  for (const auto& row : rows_) result.push_back(row.cells[0]);
  return result;
}

}  // namespace platform::memory
