// In-memory controls, for tests and for the command-line program: they hold what a real
// control would show and report focus changes and label edits to the window's logic the way
// the desktop front-end does.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/Views.h"

namespace platform::memory {

class FocusTracker;

// What every in-memory control holds: text, enabled and check state, and its focus.
template <class Interface>
class ControlState : public Interface {
 public:
  ControlState(FocusTracker& focus, std::string name) : focus_(focus), name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  std::function<void()> onFocus;  // what the window does when this control gains the focus

  void setText(const std::string& text) override { text_ = text; }
  std::string text() const override { return text_; }
  void enable(bool enabled) override { enabled_ = enabled; }
  bool isEnabled() const override { return enabled_; }
  void setFocus() override;
  void setCheck(bool checked) override { checked_ = checked; }
  bool isChecked() const override { return checked_; }

 private:
  FocusTracker& focus_;
  std::string name_;
  std::string text_;
  bool enabled_ = true;
  bool checked_ = false;
};

using MemoryControl = ControlState<Control>;

class MemoryListView : public ControlState<ListView> {
 public:
  struct Column {
    std::string heading;
    ColumnFormat format;
    int width;
  };
  struct Row {
    std::string cells[3];
    int image = -1;
    std::int32_t data = 0;
    bool selected = false;
  };

  using ControlState::ControlState;

  std::function<void()> onBeginEdit;
  std::function<void(bool cancelled)> onEndEdit;

  void insertColumn(int column, const std::string& heading, ColumnFormat format, int widthPixels) override;
  void setImageList(const int* iconIds, int count) override { images_.assign(iconIds, iconIds + count); }
  int rowCount() const override { return static_cast<int>(rows_.size()); }
  int insertRow(int index, const std::string& label, int image) override;
  void setCell(int row, int column, const std::string& text) override;
  std::string cell(int row, int column) const override;
  void setImage(int row, int image) override;
  int image(int row) const override;
  void setItemData(int row, std::int32_t data) override;
  std::int32_t itemData(int row) const override;
  bool isSelected(int row) const override;
  void select(int row) override;
  int firstSelected() const override;
  void deleteRow(int row) override;
  void deleteAll() override { rows_.clear(); }
  int findLabel(const std::string& text) const override;
  void sort(CompareFunction compare, std::int32_t sortCode) override;
  void editLabel(int row) override;
  std::string editText() const override { return editText_; }
  void limitEditText(int characters) override { editLimit_ = characters; }

  // The scripted user's side of a label edit: type into the editor, then end the edit.
  void typeInEditor(const std::string& text);
  void endEdit(bool cancelled);
  bool isEditing() const { return editRow_ >= 0; }
  int editLimit() const { return editLimit_; }

  const std::vector<Column>& columns() const { return columns_; }
  const std::vector<int>& images() const { return images_; }
  const std::vector<Row>& rows() const { return rows_; }
  std::vector<std::string> labels() const;
  int sortCount() const { return sortCount_; }
  std::int32_t lastSortCode() const { return lastSortCode_; }

 private:
  bool valid(int row) const { return row >= 0 && row < rowCount(); }

  std::vector<Column> columns_;
  std::vector<int> images_;
  std::vector<Row> rows_;
  int editRow_ = -1;
  int editLimit_ = 0;  // 0: no limit
  std::string editText_;
  int sortCount_ = 0;
  std::int32_t lastSortCode_ = 0;
};

class MemoryWindow : public Window {
 public:
  void enable(bool enabled) override { enabled_ = enabled; }
  bool isEnabled() const override { return enabled_; }
  void update() override { ++updates_; }
  void clientOrigin(int& x, int& y) const override {
    x = originX;
    y = originY;
  }

  int updates() const { return updates_; }
  int originX = 100;
  int originY = 80;

 private:
  bool enabled_ = true;
  int updates_ = 0;
};

// Which control has the focus; a change of focus runs the new control's onFocus.
class FocusTracker {
 public:
  // Gives the focus to the control called name; runs onFocus when the focus changes.
  void moveTo(const void* control, const std::string& name, const std::function<void()>& onFocus);
  const void* focused() const { return focused_; }
  std::vector<std::string> history;  // names of the controls that gained the focus, in order

 private:
  const void* focused_ = nullptr;
};

template <class Interface>
void ControlState<Interface>::setFocus() {
  focus_.moveTo(this, name_, onFocus);
}

}  // namespace platform::memory
