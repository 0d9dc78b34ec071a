// The platform views on real widgets: plain controls on any wxWindow, the report list on
// wxListCtrl, and top-level windows.
#pragma once

#include <string>

#include "platform/Views.h"

class wxListCtrl;
class wxTopLevelWindow;
class wxWindow;

namespace wxui {

// The Control part, shared by plain controls and the list.
template <class Interface>
class WxControlOf : public Interface {
 public:
  explicit WxControlOf(wxWindow* window) : window_(window) {}

  void setText(const std::string& text) override;
  std::string text() const override;
  void enable(bool enabled) override;
  bool isEnabled() const override;
  void setFocus() override;
  void setCheck(bool checked) override;
  bool isChecked() const override;

 protected:
  wxWindow* window_;
};

using WxControl = WxControlOf<platform::Control>;

class WxListView : public WxControlOf<platform::ListView> {
 public:
  explicit WxListView(wxListCtrl* list);

  void insertColumn(int column, const std::string& heading, platform::ColumnFormat format, int widthPixels) override;
  void setImageList(const int* iconIds, int count) override;
  int rowCount() const override;
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
  void deleteAll() override;
  int findLabel(const std::string& text) const override;
  void sort(platform::CompareFunction compare, std::int32_t sortCode) override;
  void editLabel(int row) override;
  std::string editText() const override;
  void limitEditText(int characters) override;

  // The text of the edit as its begin or end event reports it: editText() gives it while no
  // edit control exists (the generic list makes its control only after the begin event).
  void rememberEditText(const std::string& text) { eventEditText_ = text; }
  bool isEditing() const;

 private:
  bool validRow(int row) const { return row >= 0 && row < rowCount(); }

  wxListCtrl* list_;
  int editLimit_ = 0;
  std::string eventEditText_;
};

// A top-level window (the explorer dialog) as the logic sees it.
class WxWindow : public platform::Window {
 public:
  explicit WxWindow(wxTopLevelWindow* window) : window_(window) {}

  void enable(bool enabled) override;
  bool isEnabled() const override;
  void update() override;
  void clientOrigin(int& x, int& y) const override;

 private:
  wxTopLevelWindow* window_;
};

}  // namespace wxui
