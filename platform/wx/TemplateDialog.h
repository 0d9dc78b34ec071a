// TemplateDialog: a wxDialog whose controls are created from one of the dialog templates of
// res/, at their dialog-unit rectangles converted with the dialog's own font, in template
// order (which is the tab order).
//
// Control IDs: wx reserves the range of its stock IDs and refuses IDs of 32767 and above, so
// IDOK and IDCANCEL become wxID_OK and wxID_CANCEL (the dialog's standard handling then ends
// it), and the command numbers 32771..32778 and 57665 get IDs of this layer. Every other
// template ID is used as it stands.
#pragma once

#include <map>

#include <wx/dialog.h>

namespace res {
struct DialogTemplate;
}

namespace wxui {

int toWxId(int templateId);
int fromWxId(int wxId);                // back to the template's number; 0 for an ID it never had
int toDialogResult(int wxReturnCode);  // wxID_OK -> IDOK (1), anything else -> IDCANCEL (2)

class TemplateDialog : public wxDialog {
 public:
  // style: the frame (caption, system menu, minimise box) as the template asks for it.
  TemplateDialog(wxWindow* parent, int templateId, long style);

  // The control with the template's ID; nullptr when the template has none.
  wxWindow* control(int templateId) const;

 protected:
  // Modal: Escape ends the dialog with IDCANCEL even without a Cancel button. Modeless:
  // Enter and Escape do nothing.
  virtual void onCharHook(wxKeyEvent& event);

 private:
  void build(const res::DialogTemplate& dialog);
  void growToHoldLabels();
  wxWindow* createControl(const res::DialogTemplate& dialog, std::size_t index);
  void onClose(wxCloseEvent& event);

  std::map<int, wxWindow*> controls_;
};

}  // namespace wxui
