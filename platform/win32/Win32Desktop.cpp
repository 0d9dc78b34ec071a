#include "platform/win32/Win32Desktop.h"

#include <vector>

#include "app/PortSelectDialog.h"
#include "platform/win32/DialogTemplate.h"
#include "platform/win32/ExplorerWindow.h"
#include "platform/win32/Popups.h"
#include "platform/win32/Views.h"
#include "res/Resources.h"
#include "ui/AboutDialog.h"
#include "ui/SplashWindow.h"

namespace win32ui {
namespace {

// The small dialogs have a caption and a modal frame but no system menu or close box.
constexpr DWORD kModalFrame = WS_POPUP | WS_CAPTION | DS_CENTER;

INT_PTR CALLBACK modalProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* dialog = reinterpret_cast<const ModalDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
      dialog = reinterpret_cast<const ModalDialog*>(lParam);
      fitLabels(window);
      if (dialog->onInit) dialog->onInit(window);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (dialog->onCommand && dialog->onCommand(window, id, HIWORD(wParam))) return TRUE;
      if (id == IDOK || id == IDCANCEL) EndDialog(window, id);
      return TRUE;
    }
    default: return FALSE;
  }
}

}  // namespace

int runModal(const ModalDialog& dialog) {
  const SplashWindow::SetAside aside;
  const DialogTemplateData data(dialog.templateId, kModalFrame);
  const INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), data.get(), dialog.owner, modalProcedure,
                                                 reinterpret_cast<LPARAM>(&dialog));
  return result == IDOK ? IDOK : IDCANCEL;
}

void dispatch(MSG& message) {
  HWND dialog = GetAncestor(message.hwnd, GA_ROOT);
  if (dialog != nullptr && IsDialogMessageA(dialog, &message)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

HWND Win32Desktop::owner() const { return explorer_ ? explorer_->handle() : nullptr; }

int Win32Desktop::messageBox(const std::string& text, const std::string& caption, unsigned style) {
  const SplashWindow::SetAside aside;
  // The styles and the answers are Win32's own values.
  return MessageBoxA(owner(), text.c_str(), caption.c_str(), style);
}

int Win32Desktop::runPortSelect(PortSelectDialog& portDialog) {
  std::vector<Win32Control> radios;
  ModalDialog dialog(res::IDD_PORT_SELECT, nullptr);
  dialog.onInit = [&](HWND window) {
    for (int id = res::IDC_COM1; id <= res::IDC_COM4; ++id) radios.emplace_back(GetDlgItem(window, id));
    platform::Control* const buttons[4] = {&radios[0], &radios[1], &radios[2], &radios[3]};
    portDialog.onInitDialog(buttons);
  };
  dialog.onCommand = [&](HWND, int id, int code) {
    if (id < res::IDC_COM1 || id > res::IDC_COM4 || code != BN_CLICKED) return false;
    portDialog.onRadioClicked(id);
    return true;
  };
  return runModal(dialog);
}

int Win32Desktop::runTemplateDialog(int templateId) { return runModal(ModalDialog(templateId, owner())); }

int Win32Desktop::runAbout(AboutDialog& about) {
  std::unique_ptr<Win32Control> revision;
  ModalDialog dialog(res::IDD_ABOUTBOX, owner());
  dialog.onInit = [&](HWND window) {
    revision = std::make_unique<Win32Control>(GetDlgItem(window, res::IDC_REVISION));
    about.attach(revision.get());
  };
  dialog.onCommand = [&](HWND, int id, int) {
    if (id != res::IDC_GET_REVISION) return false;
    about.onGetFirmwareRevision(*this);
    return true;
  };
  const int result = runModal(dialog);
  about.attach(nullptr);
  return result;
}

int Win32Desktop::runExplorer(ExplorerDialog& logic) {
  ExplorerWindow window(logic, *this);
  explorer_ = &window;
  const int result = window.run();
  explorer_ = nullptr;
  return result;
}

void Win32Desktop::beginWaitCursor() {
  ++waitDepth_;
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void Win32Desktop::endWaitCursor() {
  if (waitDepth_ > 0 && --waitDepth_ == 0) SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

bool Win32Desktop::holdWaitCursor() const {
  if (waitDepth_ == 0) return false;
  SetCursor(LoadCursorA(nullptr, IDC_WAIT));
  return true;
}

void Win32Desktop::processPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dispatch(message);
  }
  if (waitDepth_ > 0) SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

int Win32Desktop::trackPopupMenu(int menuId, int x, int y) {
  if (!explorer_) return 0;
  HMENU menu = CreatePopupMenu();
  for (const res::MenuItem& item : res::popupMenu(menuId)) {
    if (item.command == 0) {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::string text(item.text);
    AppendMenuA(menu, MF_STRING | (item.grayed ? MF_GRAYED : 0), item.command, text.c_str());
  }
  const int chosen = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, x, y, 0,
                                    explorer_->handle(), nullptr);
  DestroyMenu(menu);
  return chosen;
}

platform::Window* Win32Desktop::mainWindow() { return explorer_ ? &explorer_->window() : nullptr; }

std::unique_ptr<platform::ProgressWindow> Win32Desktop::createProgressWindow() {
  return win32ui::createProgressWindow(owner(), *this);
}

std::unique_ptr<platform::SplashScreen> Win32Desktop::createSplash(int, platform::Window* parent) {
  return win32ui::createSplash(explorer_ && parent == &explorer_->window() ? explorer_->handle() : nullptr);
}

}  // namespace win32ui
