#include "platform/wx/WxViews.h"

#include <algorithm>
#include <vector>

#include <wx/checkbox.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toplevel.h>

#include "platform/wx/Art.h"
#include "platform/wx/Text.h"
#include "res/Resources.h"

namespace wxui {

// Plain controls. Static texts show their text as it stands ('&' is no mnemonic there: a
// revision string or a size may contain one); buttons keep their mnemonics.
template <class Interface>
void WxControlOf<Interface>::setText(const std::string& text) {
  if (auto* label = wxDynamicCast(window_, wxStaticText)) {
    label->SetLabelText(toWx(text));
  } else {
    window_->SetLabel(toWx(text));
  }
}

template <class Interface>
std::string WxControlOf<Interface>::text() const {
  if (auto* label = wxDynamicCast(window_, wxStaticText)) return fromWx(label->GetLabelText());
  return fromWx(window_->GetLabel());
}

template <class Interface>
void WxControlOf<Interface>::enable(bool enabled) {
  window_->Enable(enabled);
}

// The control's own state, as EnableWindow keeps it: a control stays enabled while its
// disabled owner makes it unreachable.
template <class Interface>
bool WxControlOf<Interface>::isEnabled() const {
  return window_->IsThisEnabled();
}

template <class Interface>
void WxControlOf<Interface>::setFocus() {
  window_->SetFocus();
}

template <class Interface>
void WxControlOf<Interface>::setCheck(bool checked) {
  if (auto* box = wxDynamicCast(window_, wxCheckBox)) box->SetValue(checked);
  if (auto* radio = wxDynamicCast(window_, wxRadioButton)) radio->SetValue(checked);
}

template <class Interface>
bool WxControlOf<Interface>::isChecked() const {
  if (auto* box = wxDynamicCast(window_, wxCheckBox)) return box->GetValue();
  if (auto* radio = wxDynamicCast(window_, wxRadioButton)) return radio->GetValue();
  return false;
}

template class WxControlOf<platform::Control>;
template class WxControlOf<platform::ListView>;

// The report list.

WxListView::WxListView(wxListCtrl* list) : WxControlOf<platform::ListView>(list), list_(list) {}

void WxListView::insertColumn(int column, const std::string& heading, platform::ColumnFormat format, int widthPixels) {
  const wxListColumnFormat align = format == platform::ColumnFormat::Right ? wxLIST_FORMAT_RIGHT : wxLIST_FORMAT_LEFT;
  // 400 dialog units are a hundred base units: a ratio without rounding. The dialog carries the font.
  const int hundredBaseUnits = list_->GetParent()->ConvertDialogToPixels(wxPoint(400, 0)).x;
  const int width = wxMulDivInt32(widthPixels, hundredBaseUnits, 100 * res::kTemplateBaseUnitX);
  list_->InsertColumn(column, toWx(heading), align, width);
}

void WxListView::setImageList(const int* iconIds, int count) {
  auto* images = new wxImageList(16, 16, true, count);
  for (int i = 0; i < count; ++i) images->Add(artBitmap(iconIds[i]));
  list_->AssignImageList(images, wxIMAGE_LIST_SMALL);  // the control deletes it with itself
}

int WxListView::rowCount() const { return list_->GetItemCount(); }

int WxListView::insertRow(int index, const std::string& label, int image) {
  return list_->InsertItem(std::clamp(index, 0, rowCount()), toWx(label), image);
}

void WxListView::setCell(int row, int column, const std::string& text) {
  if (validRow(row)) list_->SetItem(row, column, toWx(text));
}

std::string WxListView::cell(int row, int column) const {
  if (!validRow(row) || column < 0 || column >= list_->GetColumnCount()) return {};
  return fromWx(list_->GetItemText(row, column));
}

void WxListView::setImage(int row, int image) {
  if (validRow(row)) list_->SetItemImage(row, image);
}

int WxListView::image(int row) const {
  if (!validRow(row)) return -1;
  wxListItem item;
  item.SetId(row);
  item.SetMask(wxLIST_MASK_IMAGE);
  return list_->GetItem(item) ? item.GetImage() : -1;
}

void WxListView::setItemData(int row, std::int32_t data) {
  if (validRow(row)) list_->SetItemData(row, static_cast<long>(data));
}

std::int32_t WxListView::itemData(int row) const {
  if (!validRow(row)) return 0;
  return static_cast<std::int32_t>(static_cast<long>(list_->GetItemData(row)));
}

bool WxListView::isSelected(int row) const {
  return validRow(row) && list_->GetItemState(row, wxLIST_STATE_SELECTED) != 0;
}

void WxListView::select(int row) {
  for (long r = firstSelected(); r != -1; r = list_->GetNextItem(r, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)) {
    list_->SetItemState(r, 0, wxLIST_STATE_SELECTED);
  }
  if (!validRow(row)) return;
  const long state = wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED;
  list_->SetItemState(row, state, state);
}

int WxListView::firstSelected() const {
  return static_cast<int>(list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
}

void WxListView::deleteRow(int row) {
  if (validRow(row)) list_->DeleteItem(row);
}

void WxListView::deleteAll() { list_->DeleteAllItems(); }

// FindItem matches the whole label, letter case ignored, when partial matching is off.
int WxListView::findLabel(const std::string& text) const {
  return static_cast<int>(list_->FindItem(-1, toWx(text), false));
}

namespace {

struct SortContext {
  platform::CompareFunction compare;
  std::int32_t sortCode;
  const std::vector<std::int32_t>* keys;
};

int wxCALLBACK compareRows(wxIntPtr first, wxIntPtr second, wxIntPtr context) {
  const auto& sort = *reinterpret_cast<const SortContext*>(context);
  return sort.compare((*sort.keys)[first], (*sort.keys)[second], sort.sortCode);
}

}  // namespace

// The rows are sorted by their keys, but each carries its original index as item data while
// the control sorts: so the selected row can be found again afterwards (the generic control
// drops the selection) even when several rows share its key.
void WxListView::sort(platform::CompareFunction compare, std::int32_t sortCode) {
  const int rows = rowCount();
  const int selected = firstSelected();
  std::vector<std::int32_t> keys(rows);
  for (int row = 0; row < rows; ++row) {
    keys[row] = itemData(row);
    list_->SetItemData(row, row);
  }
  SortContext context{compare, sortCode, &keys};
  list_->SortItems(compareRows, reinterpret_cast<wxIntPtr>(&context));

  int selectedAfter = -1;
  for (int row = 0; row < rows; ++row) {
    const auto original = static_cast<int>(list_->GetItemData(row));
    if (original == selected) selectedAfter = row;
    setItemData(row, keys[original]);
  }
  if (selectedAfter != -1) select(selectedAfter);
}

void WxListView::editLabel(int row) {
  if (!validRow(row)) return;
  list_->SetFocus();
  // The begin event has run by the time EditLabel returns the control it made.
  wxTextCtrl* edit = list_->EditLabel(row);
  if (edit && editLimit_ > 0) edit->SetMaxLength(editLimit_);
}

std::string WxListView::editText() const {
  if (wxTextCtrl* edit = list_->GetEditControl()) return fromWx(edit->GetValue());
  return eventEditText_;
}

// Called from the begin event, before the list has made its edit control: the limit goes on
// the control once it exists (EditLabel's result for an edit the logic starts, the control
// itself a moment later for one the list starts by a slow click).
void WxListView::limitEditText(int characters) {
  editLimit_ = characters;
  if (wxTextCtrl* edit = list_->GetEditControl()) {
    edit->SetMaxLength(characters);
    return;
  }
  wxListCtrl* list = list_;
  list->CallAfter([list, characters] {
    if (wxTextCtrl* edit = list->GetEditControl()) edit->SetMaxLength(characters);
  });
}

bool WxListView::isEditing() const { return list_->GetEditControl() != nullptr; }

// Top-level windows.

void WxWindow::enable(bool enabled) { window_->Enable(enabled); }

bool WxWindow::isEnabled() const { return window_->IsThisEnabled(); }

void WxWindow::update() { window_->Update(); }

void WxWindow::clientOrigin(int& x, int& y) const {
  const wxPoint origin = window_->ClientToScreen(wxPoint(0, 0));
  x = origin.x;
  y = origin.y;
}

}  // namespace wxui
