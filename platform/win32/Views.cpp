#include "platform/win32/Views.h"

#include <vector>

namespace win32ui {

std::string windowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Win32ListView::insertColumn(int column, const std::string& heading, platform::ColumnFormat format,
                                 int widthPixels) {
  LVCOLUMNA item{};
  item.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  item.fmt = format == platform::ColumnFormat::Right ? LVCFMT_RIGHT : LVCFMT_LEFT;
  RECT hundredBaseUnits{0, 0, 400, 0};  // 400 dialog units: a ratio without rounding
  MapDialogRect(GetParent(handle_), &hundredBaseUnits);
  item.cx = MulDiv(widthPixels, hundredBaseUnits.right, 100 * res::kTemplateBaseUnitX);
  item.pszText = const_cast<char*>(heading.c_str());
  item.iSubItem = column;
  SendMessageA(handle_, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&item));
}

void Win32ListView::setImageList(const int* iconIds, int count) {
  const int size = GetSystemMetrics(SM_CXSMICON);
  HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, count, 0);
  for (int i = 0; i < count; ++i) {
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconIds[i]), IMAGE_ICON, size, size, 0));
    ImageList_AddIcon(images, icon);
    DestroyIcon(icon);
  }
  // LVS_SHAREIMAGELISTS: the list does not destroy it; it lives as long as the program.
  SendMessageA(handle_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

int Win32ListView::rowCount() const { return static_cast<int>(SendMessageA(handle_, LVM_GETITEMCOUNT, 0, 0)); }

int Win32ListView::insertRow(int index, const std::string& label, int image) {
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = std::min(std::max(index, 0), rowCount());
  item.pszText = const_cast<char*>(label.c_str());
  item.iImage = image;
  return static_cast<int>(SendMessageA(handle_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void Win32ListView::setCell(int row, int column, const std::string& text) {
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = const_cast<char*>(text.c_str());
  SendMessageA(handle_, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

std::string Win32ListView::cell(int row, int column) const {
  std::vector<char> buffer(260, '\0');
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  const auto length = SendMessageA(handle_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

void Win32ListView::setImage(int row, int image) {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  item.iImage = image;
  SendMessageA(handle_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int Win32ListView::image(int row) const {
  LVITEMA item{};
  item.mask = LVIF_IMAGE;
  item.iItem = row;
  if (!SendMessageA(handle_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.iImage;
}

void Win32ListView::setItemData(int row, std::int32_t data) {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  item.lParam = data;
  SendMessageA(handle_, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

std::int32_t Win32ListView::itemData(int row) const {
  LVITEMA item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageA(handle_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
  return static_cast<std::int32_t>(item.lParam);
}

bool Win32ListView::isSelected(int row) const {
  return SendMessageA(handle_, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
}

void Win32ListView::select(int row) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageA(handle_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
  if (row < 0) return;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(handle_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int Win32ListView::firstSelected() const {
  return static_cast<int>(SendMessageA(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void Win32ListView::deleteRow(int row) { SendMessageA(handle_, LVM_DELETEITEM, row, 0); }

void Win32ListView::deleteAll() { SendMessageA(handle_, LVM_DELETEALLITEMS, 0, 0); }

int Win32ListView::findLabel(const std::string& text) const {
  LVFINDINFOA find{};
  find.flags = LVFI_STRING;  // the whole label, letter case ignored
  find.psz = text.c_str();
  return static_cast<int>(
      SendMessageA(handle_, LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

void Win32ListView::sort(platform::CompareFunction compare, std::int32_t sortCode) {
  struct Call {
    platform::CompareFunction compare;
    std::int32_t sortCode;
  } call{compare, sortCode};
  // LVM_SORTITEMS hands the compare function the rows' item data, as the logic expects.
  const auto adapter = [](LPARAM first, LPARAM second, LPARAM data) -> int {
    const auto& call = *reinterpret_cast<const Call*>(data);
    return call.compare(static_cast<std::int32_t>(first), static_cast<std::int32_t>(second), call.sortCode);
  };
  SendMessageA(handle_, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&call),
               reinterpret_cast<LPARAM>(static_cast<PFNLVCOMPARE>(adapter)));
}

// A list view on the screen redraws its scroll bar and rows at each insert, which costs a
// full listing a quarter of a second under Wine.
void Win32ListView::holdRedraw(bool held) {
  SendMessageA(handle_, WM_SETREDRAW, held ? FALSE : TRUE, 0);
  if (!held) InvalidateRect(handle_, nullptr, TRUE);
}

void Win32ListView::editLabel(int row) {
  if (row < 0) return;
  SetFocus(handle_);
  SendMessageA(handle_, LVM_EDITLABELA, row, 0);
}

HWND Win32ListView::editControl() const { return reinterpret_cast<HWND>(SendMessageA(handle_, LVM_GETEDITCONTROL, 0, 0)); }

// While the edit runs its control holds the text (LVN_BEGINLABELEDIT names only the row).
std::string Win32ListView::editText() const {
  HWND edit = editControl();
  return edit ? windowText(edit) : editText_;
}

void Win32ListView::limitEditText(int characters) {
  if (HWND edit = editControl()) SendMessageA(edit, EM_LIMITTEXT, characters, 0);
}

void Win32Window::clientOrigin(int& x, int& y) const {
  POINT origin{0, 0};
  ClientToScreen(window_, &origin);
  x = origin.x;
  y = origin.y;
}

}  // namespace win32ui
