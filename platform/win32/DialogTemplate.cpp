#include "platform/win32/DialogTemplate.h"

#include <algorithm>
#include <string>

#include "res/Resources.h"

namespace win32ui {
namespace {

// The predefined window classes' atoms in a dialog item template.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kOrdinal = 0xFFFF;

struct ItemClass {
  WORD atom;            // 0: by name
  const wchar_t* name;  // when atom is 0
};

// A static control that shows text (not an icon or a bitmap).
bool isTextLabel(HWND control) {
  char className[16] = {};
  GetClassNameA(control, className, sizeof className);
  const LONG type = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
  return lstrcmpiA(className, "Static") == 0 && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT);
}

// Width in pixels of a label's text in the font selected into dc, on one line.
int textWidth(HDC dc, HWND label) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(label)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(label, text.data(), static_cast<int>(text.size()))));
  RECT extent{};
  const UINT prefix = (GetWindowLongA(label, GWL_STYLE) & SS_NOPREFIX) ? DT_NOPREFIX : 0;
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &extent, DT_CALCRECT | DT_SINGLELINE | prefix);
  return extent.right - extent.left;
}

ItemClass classOf(res::ControlKind kind) {
  switch (kind) {
    case res::ControlKind::PushButton:
    case res::ControlKind::CheckBox:
    case res::ControlKind::RadioButton:
    case res::ControlKind::GroupBox: return {kButtonAtom, nullptr};
    case res::ControlKind::Static:
    case res::ControlKind::Icon:
    case res::ControlKind::Bitmap: return {kStaticAtom, nullptr};
    case res::ControlKind::ListView: return {0, L"SysListView32"};
    case res::ControlKind::ProgressBar: return {0, L"msctls_progress32"};
  }
  return {kStaticAtom, nullptr};
}

}  // namespace

DialogTemplateData::DialogTemplateData(int templateId, DWORD windowStyle) {
  const res::DialogTemplate& dialog = res::dialogTemplate(templateId);
  addDword(windowStyle | DS_SETFONT | DS_MODALFRAME);
  addDword(0);
  add(static_cast<WORD>(dialog.controls.size()));
  for (int value : {0, 0, dialog.width, dialog.height}) add(static_cast<WORD>(value));
  add(0);  // no menu
  add(0);  // the dialog class
  addText(dialog.caption);
  add(static_cast<WORD>(dialog.fontSize));
  addText(dialog.fontName);

  for (const res::ControlTemplate& control : dialog.controls) {
    alignToDword();
    const ItemClass itemClass = classOf(control.kind);
    addDword(WS_CHILD | WS_VISIBLE | control.style);
    addDword(control.exStyle);
    for (int value : {control.rect.x, control.rect.y, control.rect.width, control.rect.height}) {
      add(static_cast<WORD>(value));
    }
    add(static_cast<WORD>(control.id));
    if (itemClass.atom != 0) {
      add(kOrdinal);
      add(itemClass.atom);
    } else {
      for (const wchar_t* c = itemClass.name; *c != 0; ++c) add(static_cast<WORD>(*c));
      add(0);
    }
    if (control.resourceId != 0) {
      add(kOrdinal);
      add(static_cast<WORD>(control.resourceId));
    } else {
      addText(control.text);
    }
    add(0);  // no creation data
  }
}

void fitLabels(HWND dialog) {
  HDC dc = GetDC(dialog);
  const HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
  RECT client{};
  GetClientRect(dialog, &client);
  LONG margin = client.right;
  LONG right = 0;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    margin = std::min(margin, rect.left);
    if (!isTextLabel(child)) continue;
    const int width = textWidth(dc, child);
    if (width > rect.right - rect.left) {
      SetWindowPos(child, nullptr, 0, 0, width, rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      rect.right = rect.left + width;
    }
    right = std::max(right, rect.right);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(dialog, dc);
  if (right + margin <= client.right) return;
  RECT frame{};
  GetWindowRect(dialog, &frame);
  SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left + right + margin - client.right, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogTemplateData::addDword(DWORD value) {
  add(LOWORD(value));
  add(HIWORD(value));
}

void DialogTemplateData::addText(std::string_view text) {
  for (unsigned char c : text) add(c);  // the templates hold Latin-1 text only
  add(0);
}

void DialogTemplateData::alignToDword() {
  if (words_.size() % 2 != 0) add(0);
}

}  // namespace win32ui
