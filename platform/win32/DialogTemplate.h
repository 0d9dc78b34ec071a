// The in-memory DLGTEMPLATE of one of the program's dialog templates (res/), so that the
// windows are built from the same data as everywhere else: DialogBoxIndirectParamA and
// CreateDialogIndirectParamA take it as it stands.
#pragma once

#include "platform/win32/Windows.h"

#include <vector>

namespace win32ui {

class DialogTemplateData {
 public:
  // windowStyle: the frame (caption, system menu, ...) the dialog gets besides its template.
  DialogTemplateData(int templateId, DWORD windowStyle);
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void add(WORD word) { words_.push_back(word); }
  void addDword(DWORD value);
  void addText(std::string_view text);  // UTF-16 from the templates' Windows-1252 text
  void alignToDword();

  std::vector<WORD> words_;
};

// The templates' rectangles were measured in another font: a static text wider than its
// rectangle in the dialog's font (its wide letters grow more than the average the dialog units
// follow) grows to its text, and the dialog grows to keep its left margin on the right too.
// Called as a dialog is initialised.
void fitLabels(HWND dialog);

}  // namespace win32ui
