#include "platform/wx/TemplateDialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "platform/wx/Art.h"
#include "platform/wx/Text.h"
#include "res/Resources.h"

namespace wxui {
namespace {

// IDs of this layer for the command numbers wx cannot take.
constexpr int kFirstCommandId = wxID_HIGHEST + 1;
constexpr int kExitId = kFirstCommandId + 100;

bool isMenuCommand(int id) { return id >= res::ID_DELETE_FILE && id <= res::ID_FORMAT_DRIVE; }

// The template's "MS Sans Serif" 8 is the desktop's own dialog font at the template's size.
wxFont dialogFont(int pointSize) {
  wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
  font.SetPointSize(pointSize);
  return font;
}

// The sunken frame of a static field. A wxPanel would do, but a panel without focusable
// children takes the focus itself and would put a stop of its own in the tab order.
class SunkenFrame : public wxWindow {
 public:
  SunkenFrame(wxWindow* parent, const wxPoint& pos, const wxSize& size)
      : wxWindow(parent, wxID_ANY, pos, size, wxBORDER_SUNKEN) {}
  bool AcceptsFocus() const override { return false; }
};

// GTK draws a check box or radio button's indicator at a fixed minimum size, taller than
// the template's 10 units at small fonts: such a control grows about its own middle.
wxWindow* atLeastBestHeight(wxWindow* control) {
  const wxRect rect = control->GetRect();
  const int best = control->GetBestSize().y;
  if (best > rect.height) control->SetSize(rect.x, rect.y - (best - rect.height) / 2, rect.width, best);
  return control;
}

long listStyle(std::uint32_t style) {
  long wxStyle = wxBORDER_SUNKEN;
  if (style & res::LVS_REPORT) wxStyle |= wxLC_REPORT;
  if (style & res::LVS_SINGLESEL) wxStyle |= wxLC_SINGLE_SEL;
  if (style & res::LVS_EDITLABELS) wxStyle |= wxLC_EDIT_LABELS;
  return wxStyle;
}

}  // namespace

int toWxId(int templateId) {
  if (templateId == -1 || templateId == 0xFFFF) return wxID_ANY;
  if (templateId == res::IDOK) return wxID_OK;
  if (templateId == res::IDCANCEL) return wxID_CANCEL;
  if (templateId == res::ID_APP_EXIT) return kExitId;
  if (isMenuCommand(templateId)) return kFirstCommandId + (templateId - res::ID_DELETE_FILE);
  return templateId;
}

int fromWxId(int wxId) {
  if (wxId <= 0) return 0;
  if (wxId == wxID_OK) return res::IDOK;
  if (wxId == wxID_CANCEL) return res::IDCANCEL;
  if (wxId == kExitId) return res::ID_APP_EXIT;
  const int command = res::ID_DELETE_FILE + (wxId - kFirstCommandId);
  if (isMenuCommand(command)) return command;
  return wxId;
}

int toDialogResult(int wxReturnCode) { return wxReturnCode == wxID_OK ? res::IDOK : res::IDCANCEL; }

TemplateDialog::TemplateDialog(wxWindow* parent, int templateId, long style) {
  const res::DialogTemplate& dialog = res::dialogTemplate(templateId);
  Create(parent, wxID_ANY, toWx(dialog.caption), wxDefaultPosition, wxDefaultSize,
         style | (parent ? 0 : wxDIALOG_NO_PARENT));
  // The font first: dialog units are measured in it.
  SetFont(dialogFont(dialog.fontSize));
  SetClientSize(ConvertDialogToPixels(wxSize(dialog.width, dialog.height)));
  build(dialog);
  growToHoldLabels();
  Bind(wxEVT_CHAR_HOOK, &TemplateDialog::onCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, &TemplateDialog::onClose, this);
}

wxWindow* TemplateDialog::control(int templateId) const {
  const auto found = controls_.find(templateId);
  return found == controls_.end() ? nullptr : found->second;
}

void TemplateDialog::build(const res::DialogTemplate& dialog) {
  // Group boxes first: GTK draws siblings in the order they were created, and a frame made
  // after the lists inside it would be drawn over them. A group box never takes the focus,
  // so the other controls keep the template's tab order.
  for (int pass = 0; pass < 2; ++pass) {
    for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
      const res::ControlTemplate& control = dialog.controls[i];
      if ((control.kind == res::ControlKind::GroupBox) != (pass == 0)) continue;
      wxWindow* window = createControl(dialog, i);
      // Only the template's tab stops take the focus from the keyboard.
      if (!(control.style & res::WS_TABSTOP)) window->DisableFocusFromKeyboard();
      if (control.id != -1) controls_[control.id] = window;
    }
  }
}

// A label that grew to its text may reach past the dialog's edge: the dialog grows to keep
// the margin of its leftmost control beside the labels on the right too.
void TemplateDialog::growToHoldLabels() {
  int margin = GetClientSize().x;
  int right = 0;
  for (const wxWindow* child : GetChildren()) {
    margin = std::min(margin, child->GetPosition().x);
    if (wxDynamicCast(child, wxStaticText)) right = std::max(right, child->GetRect().GetRight() + 1);
  }
  if (right + margin > GetClientSize().x) SetClientSize(right + margin, GetClientSize().y);
}

wxWindow* TemplateDialog::createControl(const res::DialogTemplate& dialog, std::size_t index) {
  const res::ControlTemplate& control = dialog.controls[index];
  const wxPoint pos = ConvertDialogToPixels(wxPoint(control.rect.x, control.rect.y));
  const wxSize size = ConvertDialogToPixels(wxSize(control.rect.width, control.rect.height));
  const int id = toWxId(control.id);
  const wxString text = toWx(control.text);
  switch (control.kind) {
    case res::ControlKind::PushButton: {
      auto* button = new wxButton(this, id, text, pos, size);
      if (control.style & res::BS_DEFPUSHBUTTON) button->SetDefault();
      return button;
    }
    case res::ControlKind::CheckBox: return atLeastBestHeight(new wxCheckBox(this, id, text, pos, size));
    case res::ControlKind::RadioButton: {
      const bool startsGroup = (control.style & res::WS_GROUP) || index == 0 ||
                               dialog.controls[index - 1].kind != res::ControlKind::RadioButton;
      return atLeastBestHeight(new wxRadioButton(this, id, text, pos, size, startsGroup ? wxRB_GROUP : 0));
    }
    case res::ControlKind::GroupBox: return new wxStaticBox(this, id, text, pos, size);
    case res::ControlKind::Static: {
      // GTK draws no border around a label: a sunken field is a sunken frame holding one.
      wxWindow* holder = this;
      wxPoint at = pos;
      wxSize extent = size;
      if (control.exStyle & res::WS_EX_CLIENTEDGE) {
        holder = new SunkenFrame(this, pos, size);
        at = wxPoint(4, (holder->GetClientSize().y - GetCharHeight()) / 2);
        extent = wxSize(holder->GetClientSize().x - 8, GetCharHeight());
      }
      auto* label = new wxStaticText(holder, id, wxEmptyString, at, extent, wxST_NO_AUTORESIZE);
      if (control.style & res::SS_NOPREFIX) {
        label->SetLabelText(text);
      } else {
        label->SetLabel(text);
      }
      // A label laid over a group box's edge paints the dialog's background behind its text,
      // so that the edge is broken where the label stands.
      if (control.exStyle & res::WS_EX_TRANSPARENT) label->SetBackgroundColour(GetBackgroundColour());
      // The rectangle was measured in another font: a text wider than it in this one (its
      // wide letters grow more than the average the dialog units follow) is shown whole.
      const int textWidth = label->GetBestSize().x;
      if (textWidth > extent.x) label->SetSize(textWidth, -1);
      return label;
    }
    case res::ControlKind::Icon:
    case res::ControlKind::Bitmap: return new wxStaticBitmap(this, id, artBitmap(control.resourceId), pos);
    case res::ControlKind::ListView: return new wxListCtrl(this, id, pos, size, listStyle(control.style));
    case res::ControlKind::ProgressBar: return new wxGauge(this, id, 1, pos, size, wxGA_HORIZONTAL | wxGA_SMOOTH);
  }
  return nullptr;
}

void TemplateDialog::onCharHook(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if (!IsModal()) {
    if (key != WXK_ESCAPE && key != WXK_RETURN && key != WXK_NUMPAD_ENTER) event.Skip();
    return;
  }
  if (key == WXK_ESCAPE) {
    EndModal(wxID_CANCEL);
    return;
  }
  event.Skip();
}

// Closing a modal dialog cancels it; a modeless one (the progress window) goes only when its
// owner destroys it.
void TemplateDialog::onClose(wxCloseEvent& event) {
  if (IsModal()) {
    EndModal(wxID_CANCEL);
  } else if (event.CanVeto()) {
    event.Veto();
  } else {
    event.Skip();
  }
}

}  // namespace wxui
