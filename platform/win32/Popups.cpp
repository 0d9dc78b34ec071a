#include "platform/win32/Popups.h"

#include "platform/win32/Art.h"
#include "platform/win32/DialogTemplate.h"
#include "platform/win32/Views.h"
#include "platform/win32/Win32Desktop.h"
#include "res/Resources.h"

namespace win32ui {
namespace {

// A dialog without behaviour of its own but the wait cursor of the desktop (lParam at creation).
INT_PTR CALLBACK progressProcedure(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
    fitLabels(window);
    return TRUE;
  }
  const auto* desktop = reinterpret_cast<const Win32Desktop*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message != WM_SETCURSOR || !desktop || !desktop->holdWaitCursor()) return FALSE;
  SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
  return TRUE;
}

// Centred over its owner when that is on the screen, else in the middle of the screen below
// where the splash stands.
void placeProgress(HWND window, HWND owner) {
  RECT own{}, area{}, rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  if (owner && IsWindowVisible(owner)) {
    GetWindowRect(owner, &own);
    SetWindowPos(window, nullptr, (own.left + own.right - width) / 2, (own.top + own.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
    return;
  }
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  SetWindowPos(window, nullptr, (area.left + area.right - width) / 2,
               (area.top + area.bottom) / 2 + kSplashHeight / 2 + 12, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

class Win32ProgressWindow : public platform::ProgressWindow {
 public:
  Win32ProgressWindow(HWND owner, const Win32Desktop& desktop) {
    const DialogTemplateData data(res::IDD_PROGRESS, WS_POPUP | WS_CAPTION);
    window_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), data.get(), owner, progressProcedure,
                                         reinterpret_cast<LPARAM>(&desktop));
    bar_ = GetDlgItem(window_, res::IDC_PROGRESS_BAR);
    percent_ = GetDlgItem(window_, res::IDC_PERCENT);
    placeProgress(window_, owner);
  }
  ~Win32ProgressWindow() override { DestroyWindow(window_); }

  void enable(bool enabled) override { EnableWindow(window_, enabled); }
  bool isEnabled() const override { return IsWindowEnabled(window_); }
  void update() override { UpdateWindow(window_); }
  void clientOrigin(int& x, int& y) const override { Win32Window(window_).clientOrigin(x, y); }
  // The window shows once it has its caption, so it is never painted without one.
  void setCaption(const std::string& caption) override {
    SetWindowTextA(window_, caption.c_str());
    if (IsWindowVisible(window_)) return;
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
  }
  void setRange(int lower, int upper) override { SendMessageA(bar_, PBM_SETRANGE32, lower, upper); }
  void setStep(int step) override { SendMessageA(bar_, PBM_SETSTEP, step, 0); }
  void setPos(int position) override { SendMessageA(bar_, PBM_SETPOS, position, 0); }
  int stepIt() override { return static_cast<int>(SendMessageA(bar_, PBM_STEPIT, 0, 0)); }
  std::string percentText() const override { return windowText(percent_); }
  void setPercentText(const std::string& text) override {
    SetWindowTextA(percent_, text.c_str());
    UpdateWindow(window_);
  }

 private:
  HWND window_ = nullptr;
  HWND bar_ = nullptr;
  HWND percent_ = nullptr;
};

constexpr const char* kSplashClass = "DorvikSplash";

LRESULT CALLBACK splashProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ old = SelectObject(source, reinterpret_cast<HBITMAP>(GetWindowLongPtrA(window, GWLP_USERDATA)));
  BitBlt(dc, 0, 0, kSplashWidth, kSplashHeight, source, 0, 0, SRCCOPY);
  SelectObject(source, old);
  DeleteDC(source);
  EndPaint(window, &paint);
  return 0;
}

class Win32Splash : public platform::SplashScreen {
 public:
  explicit Win32Splash(HWND owner) : picture_(composeSplash()) {
    static const ATOM registered = [] {
      WNDCLASSA splashClass{};
      splashClass.lpfnWndProc = splashProcedure;
      splashClass.hInstance = GetModuleHandleA(nullptr);
      splashClass.lpszClassName = kSplashClass;
      splashClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
      return RegisterClassA(&splashClass);
    }();
    (void)registered;
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    // A plain popup: a window that stays on top would cover every other program while the
    // drives are read.
    window_ = CreateWindowExA(0, kSplashClass, "", WS_POPUP,
                              (area.left + area.right - kSplashWidth) / 2, (area.top + area.bottom - kSplashHeight) / 2,
                              kSplashWidth, kSplashHeight, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture_));
    setVisible(true);
  }
  ~Win32Splash() override {
    DestroyWindow(window_);
    DeleteObject(picture_);
  }
  void setVisible(bool visible) override {
    ShowWindow(window_, visible ? SW_SHOWNORMAL : SW_HIDE);
    if (visible) UpdateWindow(window_);
  }

 private:
  HBITMAP picture_;
  HWND window_ = nullptr;
};

}  // namespace

std::unique_ptr<platform::ProgressWindow> createProgressWindow(HWND owner, const Win32Desktop& desktop) {
  return std::make_unique<Win32ProgressWindow>(owner, desktop);
}

std::unique_ptr<platform::SplashScreen> createSplash(HWND owner) { return std::make_unique<Win32Splash>(owner); }

}  // namespace win32ui
