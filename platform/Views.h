// What the program logic asks of the screen: a small set of interfaces modelled on the
// dialog controls it uses. The desktop front-ends (platform/wx/, platform/win32/) implement
// them with real controls; tests and `dorvik` use the in-memory implementation
// (platform/memory/), in which a scripted user answers and every box, dialog, cursor and focus
// change is recorded.
//
// The logic never includes a toolkit header; these headers are its only view of a window.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A plain control: static text, push button, check box.
class Control {
 public:
  virtual ~Control() = default;
  virtual void setText(const std::string& text) = 0;
  virtual std::string text() const = 0;
  virtual void enable(bool enabled) = 0;
  virtual bool isEnabled() const = 0;
  virtual void setFocus() = 0;
  virtual void setCheck(bool checked) = 0;  // check boxes and radio buttons
  virtual bool isChecked() const = 0;
};

// The compare function of a list sort: the two rows' item data and the sort code.
using CompareFunction = int (*)(std::int32_t first, std::int32_t second, std::int32_t sortCode);

enum class ColumnFormat { Left, Right };

// A report-view list: rows of cells with an image and a 32-bit item data, one selection at
// most, label editing of column 0.
class ListView : public Control {
 public:
  // widthPixels is for the templates' font at 96 DPI: the column gets as much more or less as
  // the window's dialog units are wider or narrower than that font's (res::kTemplateBaseUnitX).
  virtual void insertColumn(int column, const std::string& heading, ColumnFormat format, int widthPixels) = 0;
  // The small images of the rows, as icon resource IDs; row images index into this list.
  virtual void setImageList(const int* iconIds, int count) = 0;

  virtual int rowCount() const = 0;
  // Inserts a row with the label (column 0) and image at index (clamped to the end);
  // returns the index it got.
  virtual int insertRow(int index, const std::string& label, int image) = 0;
  virtual void setCell(int row, int column, const std::string& text) = 0;
  virtual std::string cell(int row, int column) const = 0;  // empty for a missing cell
  virtual void setImage(int row, int image) = 0;
  virtual int image(int row) const = 0;
  virtual void setItemData(int row, std::int32_t data) = 0;
  virtual std::int32_t itemData(int row) const = 0;
  virtual bool isSelected(int row) const = 0;
  virtual void select(int row) = 0;       // makes row the one selected row; -1 clears
  virtual int firstSelected() const = 0;  // -1 when no row is selected
  virtual void deleteRow(int row) = 0;
  virtual void deleteAll() = 0;
  // Index of the first row whose whole label equals text, letter case ignored; -1 if none.
  virtual int findLabel(const std::string& text) const = 0;
  // Sorts the rows with compare applied to their item data; keeps the selected row selected.
  virtual void sort(CompareFunction compare, std::int32_t sortCode) = 0;
  // Stops painting while many rows change (true) and paints the whole list again (false);
  // lists that paint each change cheaply leave it as it is.
  virtual void holdRedraw(bool /*held*/) {}

  // Starts editing row's label (no edit for -1). The list reports the begin and end of an
  // edit to the window's logic (onBeginLabelEdit, onEndLabelEdit).
  virtual void editLabel(int row) = 0;
  // The edit control of the edit in progress: its text and its length limit.
  virtual std::string editText() const = 0;
  virtual void limitEditText(int characters) = 0;
};

// A top-level window: the explorer dialog, a modal dialog, or the progress window's owner.
class Window {
 public:
  virtual ~Window() = default;
  virtual void enable(bool enabled) = 0;
  virtual bool isEnabled() const = 0;
  virtual void update() = 0;  // repaint now (UpdateWindow)
  // Top-left corner of the client area in screen coordinates.
  virtual void clientOrigin(int& x, int& y) const = 0;
};

}  // namespace platform
