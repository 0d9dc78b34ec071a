// The platform's views on Win32 controls: a control is its HWND, the list view a
// SysListView32 in report view driven by its LVM_ messages.
#pragma once

#include "platform/win32/Windows.h"

#include <string>

#include "platform/Views.h"

namespace win32ui {

std::string windowText(HWND window);

// What every control does through its window handle: text, enabled state, focus, check state
// (a message that controls other than buttons ignore).
template <class Interface>
class HandleControl : public Interface {
 public:
  explicit HandleControl(HWND handle) : handle_(handle) {}
  HWND handle() const { return handle_; }

  void setText(const std::string& text) override { SetWindowTextA(handle_, text.c_str()); }
  std::string text() const override { return windowText(handle_); }
  void enable(bool enabled) override { EnableWindow(handle_, enabled); }
  bool isEnabled() const override { return IsWindowEnabled(handle_); }
  void setFocus() override { SetFocus(handle_); }
  void setCheck(bool checked) override { SendMessageA(handle_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }
  bool isChecked() const override { return SendMessageA(handle_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

 protected:
  HWND handle_;
};

using Win32Control = HandleControl<platform::Control>;

class Win32ListView : public HandleControl<platform::ListView> {
 public:
  using HandleControl::HandleControl;

  void insertColumn(int column, const std::string& heading, platform::ColumnFormat format, int widthPixels) override;
  void setImageList(const int* iconIds, int count) override;
  int rowCount() const override;
  int insertRow(int index, const std::string& label, int image) override;
  void setCell(int row, int column, const std::string& text) override;
  void holdRedraw(bool held) override;
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

  // What the edit control held when the list reported the edit's end: the logic runs after
  // the control is gone.
  void rememberEditText(const std::string& text) { editText_ = text; }

 private:
  HWND editControl() const;

  std::string editText_;
};

class Win32Window : public platform::Window {
 public:
  explicit Win32Window(HWND window) : window_(window) {}
  void enable(bool enabled) override { EnableWindow(window_, enabled); }
  bool isEnabled() const override { return IsWindowEnabled(window_); }
  void update() override { UpdateWindow(window_); }
  void clientOrigin(int& x, int& y) const override;

 private:
  HWND window_;
};

}  // namespace win32ui
