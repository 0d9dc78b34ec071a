#include "platform/wx/WxDesktop.h"

#include <vector>

#include <wx/app.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "app/PortSelectDialog.h"
#include "platform/wx/Art.h"
#include "platform/wx/ExplorerWindow.h"
#include "platform/wx/Popups.h"
#include "platform/wx/Text.h"
#include "res/Resources.h"
#include "ui/AboutDialog.h"
#include "ui/ExplorerDialog.h"
#include "ui/SplashWindow.h"

namespace wxui {
namespace {

// The small dialogs have a caption and a modal frame but no system menu or close box.
constexpr long kModalFrame = wxCAPTION;

int runModal(TemplateDialog& dialog) {
  const SplashWindow::SetAside aside;
  wxWindow* owner = dialog.GetParent();
  if (owner && owner->IsShown()) {
    dialog.CentreOnParent();
  } else {
    dialog.CentreOnScreen();
  }
  return toDialogResult(dialog.ShowModal());
}

long messageBoxStyle(unsigned style) {
  long wxStyle = (style & 0xF) == platform::MB_YESNO ? wxYES_NO : wxOK;
  switch (style & 0xF0) {
    case platform::MB_ICONQUESTION: return wxStyle | wxICON_QUESTION;
    case platform::MB_ICONEXCLAMATION: return wxStyle | wxICON_EXCLAMATION;
    default: return wxStyle;
  }
}

}  // namespace

// wxMessageBox answers wxYES, wxNO, wxOK or wxCANCEL, not the dialog IDs.
int WxDesktop::messageBox(const std::string& text, const std::string& caption, unsigned style) {
  const SplashWindow::SetAside aside;
  switch (wxMessageBox(toWx(text), toWx(caption), messageBoxStyle(style), explorer_)) {
    case wxYES: return platform::IDYES;
    case wxNO: return platform::IDNO;
    case wxCANCEL: return platform::IDCANCEL;
    default: return platform::IDOK;
  }
}

int WxDesktop::runPortSelect(PortSelectDialog& portDialog) {
  TemplateDialog dialog(nullptr, res::IDD_PORT_SELECT, kModalFrame);
  std::vector<WxControl> radios;
  for (int id = res::IDC_COM1; id <= res::IDC_COM4; ++id) radios.emplace_back(dialog.control(id));
  platform::Control* const buttons[4] = {&radios[0], &radios[1], &radios[2], &radios[3]};
  portDialog.onInitDialog(buttons);
  dialog.Bind(wxEVT_RADIOBUTTON, [&portDialog](wxCommandEvent& event) { portDialog.onRadioClicked(event.GetId()); });
  return runModal(dialog);
}

int WxDesktop::runTemplateDialog(int templateId) {
  TemplateDialog dialog(explorer_, templateId, kModalFrame);
  return runModal(dialog);
}

int WxDesktop::runAbout(AboutDialog& about) {
  TemplateDialog dialog(explorer_, res::IDD_ABOUTBOX, kModalFrame);
  WxControl revision(dialog.control(res::IDC_REVISION));
  about.attach(&revision);
  dialog.Bind(
      wxEVT_BUTTON, [this, &about](wxCommandEvent&) { about.onGetFirmwareRevision(*this); }, res::IDC_GET_REVISION);
  const int result = runModal(dialog);
  about.attach(nullptr);
  return result;
}

// The drives are read while the window is built but not yet shown (the splash stands
// meanwhile); the modal loop then shows it.
int WxDesktop::runExplorer(ExplorerDialog& logic) {
  ExplorerWindow window(logic);
  window.CentreOnScreen();
  wxTheApp->SetTopWindow(&window);
  explorer_ = &window;
  window.initialise();
  const int result = window.ShowModal();
  explorer_ = nullptr;
  return toDialogResult(result);
}

void WxDesktop::beginWaitCursor() { wxBeginBusyCursor(); }

void WxDesktop::endWaitCursor() {
  if (wxIsBusy()) wxEndBusyCursor();
}

void WxDesktop::processPendingMessages() { dispatchPendingEvents(); }

int WxDesktop::trackPopupMenu(int menuId, int x, int y) {
  if (!explorer_) return 0;
  wxMenu menu;
  for (const res::MenuItem& item : res::popupMenu(menuId)) {
    if (item.command == 0) {
      menu.AppendSeparator();
      continue;
    }
    menu.Append(toWxId(item.command), toWx(item.text))->Enable(!item.grayed);
  }
  const int chosen = explorer_->GetPopupMenuSelectionFromUser(menu, explorer_->ScreenToClient(wxPoint(x, y)));
  // The chosen command runs as soon as this returns, as a queued menu command would run
  // after the menu is gone: let the menu hand the focus back first, or a label edit started
  // by "Rename File" would lose it at once and end.
  dispatchPendingEvents();
  return fromWxId(chosen);
}

platform::Window* WxDesktop::mainWindow() { return explorer_ ? &explorer_->window() : nullptr; }

// No dialog of this program owns a modeless window but the main window.
platform::Window* WxDesktop::activePopup() { return mainWindow(); }

std::unique_ptr<platform::ProgressWindow> WxDesktop::createProgressWindow() {
  return wxui::createProgressWindow(explorer_);
}

std::unique_ptr<platform::SplashScreen> WxDesktop::createSplash(int bitmapId, platform::Window* parent) {
  wxWindow* owner = explorer_ && parent == &explorer_->window() ? explorer_ : nullptr;
  return wxui::createSplash(artBitmap(bitmapId), owner);
}

bool WxDesktop::isShiftDown() const { return wxGetKeyState(WXK_SHIFT); }

}  // namespace wxui
