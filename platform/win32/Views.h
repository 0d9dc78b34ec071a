// The platform's views on Win32 controls: a control is its HWND, the list view a
// SysListView32 in report view driven by its LVM_ messages.
#pragma once

#include "platform/win32/Windows.h"

#include <string>

#include "platform/Views.h"

namespace win32ui {

std::string windowText(HWND window);

class Win32Control : public platform::Control {
 public:
  explicit Win32Control(HWND control) : control_(control) {}
  HWND handle() const { return control_; }

  void setText(const std::string& text) override { SetWindowTextA(control_, text.c_str()); }
  std::string text() const override { return windowText(control_); }
  void enable(bool enabled) override { EnableWindow(control_, enabled); }
  bool isEnabled() const override { return IsWindowEnabled(control_); }
  void setFocus() override { SetFocus(control_); }
  void setCheck(bool checked) override;
  bool isChecked() const override;

 protected:
  HWND control_;
};

class Win32ListView : public platform::ListView {
 public:
  explicit Win32ListView(HWND list) : list_(list) {}
  HWND handle() const { return list_; }

  void setText(const std::string& text) override { SetWindowTextA(list_, text.c_str()); }
  std::string text() const override { return windowText(list_); }
  void enable(bool enabled) override { EnableWindow(list_, enabled); }
  bool isEnabled() const override { return IsWindowEnabled(list_); }
  void setFocus() override { SetFocus(list_); }
  void setCheck(bool) override {}
  bool isChecked() const override { return false; }

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
  std::string editText() const override { return editText_; }
  void limitEditText(int characters) override;

  // What the edit control held when the list reported the edit's begin or end.
  void rememberEditText(const std::string& text) { editText_ = text; }

 private:
  HWND list_;
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
