#include "platform/wx/Popups.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/gauge.h>
#include <wx/popupwin.h>
#include <wx/stattext.h>
#include <wx/time.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include "platform/wx/Art.h"
#include "platform/wx/TemplateDialog.h"
#include "platform/wx/Text.h"
#include "res/Resources.h"

namespace wxui {
namespace {

constexpr long kFirstPaintWaitMs = 500;

// A window shown right before a long blocking exchange would stay blank until the next
// dispatch: let it paint now, waiting a bounded moment for its first paint event.
void showPainted(wxWindow& window, const bool& painted) {
  window.Show();
  window.Raise();
  const wxLongLong deadline = wxGetLocalTimeMillis() + kFirstPaintWaitMs;
  while (!painted && wxGetLocalTimeMillis() < deadline) {
    dispatchPendingEvents();
    wxMilliSleep(5);
  }
  window.Update();
}

// Centred over its owner when that is on the screen. At start-up the owner is not shown yet
// and the splash stands in the middle of the screen: the progress window goes below it.
void placeProgress(wxDialog& dialog, wxWindow* owner) {
  if (owner && owner->IsShown()) {
    dialog.CentreOnParent();
    return;
  }
  const wxRect screen = wxDisplay().GetClientArea();
  const wxSize size = dialog.GetSize();
  dialog.Move(screen.x + (screen.width - size.x) / 2, screen.y + screen.height / 2 + kSplashHeight / 2 + 12);
}

class WxProgressWindow : public platform::ProgressWindow {
 public:
  explicit WxProgressWindow(wxWindow* owner) : dialog_(new TemplateDialog(owner, res::IDD_PROGRESS, wxCAPTION)) {
    gauge_ = wxDynamicCast(dialog_->control(res::IDC_PROGRESS_BAR), wxGauge);
    percent_ = wxDynamicCast(dialog_->control(res::IDC_PERCENT), wxStaticText);
    dialog_->SetEscapeId(wxID_NONE);
    dialog_->Bind(wxEVT_PAINT, [this](wxPaintEvent& event) {
      painted_ = true;
      event.Skip();
    });
    placeProgress(*dialog_, owner);
    showPainted(*dialog_, painted_);
  }
  ~WxProgressWindow() override {
    if (!dialog_) return;
    dialog_->Hide();  // Destroy alone leaves the last shown window up until the next idle time
    dialog_->Destroy();
  }

  void enable(bool enabled) override {
    if (dialog_) dialog_->Enable(enabled);
  }
  bool isEnabled() const override { return dialog_ && dialog_->IsThisEnabled(); }
  void update() override {
    if (dialog_) dialog_->Update();
  }
  void clientOrigin(int& x, int& y) const override {
    const wxPoint origin = dialog_ ? dialog_->ClientToScreen(wxPoint(0, 0)) : wxPoint(0, 0);
    x = origin.x;
    y = origin.y;
  }

  void setCaption(const std::string& caption) override {
    if (dialog_) dialog_->SetTitle(toWx(caption));
  }
  void setRange(int lower, int upper) override {
    lower_ = lower;
    upper_ = std::max(upper, lower);
    if (gauge_) gauge_->SetRange(std::max(upper_ - lower_, 1));
    setPos(position_);
  }
  void setStep(int step) override { step_ = step; }
  void setPos(int position) override {
    position_ = std::clamp(position, lower_, upper_);
    if (gauge_) gauge_->SetValue(position_ - lower_);
  }
  // Past the upper bound the bar starts over from the lower one, as a stepped progress bar
  // does: 0..4 by 1 goes 1, 2, 3, 4, then 1 again.
  int stepIt() override {
    const int before = position_;
    int next = position_ + step_;
    if (next > upper_) next = upper_ > lower_ ? lower_ + (next - lower_) % (upper_ - lower_) : lower_;
    setPos(next);
    return before;
  }
  std::string percentText() const override { return percent_ ? fromWx(percent_->GetLabelText()) : std::string(); }
  void setPercentText(const std::string& text) override {
    if (percent_) percent_->SetLabelText(toWx(text));
  }

 private:
  wxWeakRef<TemplateDialog> dialog_;
  wxGauge* gauge_ = nullptr;
  wxStaticText* percent_ = nullptr;
  bool painted_ = false;
  int lower_ = 0;
  int upper_ = 100;
  int step_ = 10;
  int position_ = 0;
};

// The splash: a borderless window above all others that paints its picture and reacts to
// nothing else. A popup window needs no window manager to stay on top, and GTK maps it at the
// size it is given (an undecorated frame without children would be mapped one pixel large).
class SplashFrame : public wxPopupWindow {
 public:
  SplashFrame(wxWindow* owner, const wxBitmap& picture) : wxPopupWindow(owner, wxBORDER_NONE), picture_(picture) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetSize(picture.GetSize());
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
      wxPaintDC dc(this);
      dc.DrawBitmap(picture_, 0, 0);
      painted_ = true;
    });
    auto* frame = wxDynamicCast(owner, wxTopLevelWindow);
    const bool overOwner = frame && frame->IsShown() && !frame->IsIconized();
    const wxRect area = overOwner ? frame->GetScreenRect() : wxDisplay().GetClientArea();
    Move(area.x + (area.width - picture.GetWidth()) / 2, area.y + (area.height - picture.GetHeight()) / 2);
    reveal();
  }

  // Back from being set aside, painted before the long initialisation goes on.
  void reveal() {
    painted_ = false;
    showPainted(*this, painted_);
  }

 private:
  wxBitmap picture_;
  bool painted_ = false;
};

class WxSplash : public platform::SplashScreen {
 public:
  explicit WxSplash(SplashFrame* frame) : frame_(frame) {}
  ~WxSplash() override {
    if (!frame_) return;
    frame_->Hide();
    frame_->Destroy();
  }

  void setVisible(bool visible) override {
    if (!frame_) return;
    if (visible) {
      frame_->reveal();
    } else {
      frame_->Hide();
    }
  }

 private:
  wxWeakRef<SplashFrame> frame_;
};

}  // namespace

std::unique_ptr<platform::ProgressWindow> createProgressWindow(wxWindow* owner) {
  return std::make_unique<WxProgressWindow>(owner);
}

std::unique_ptr<platform::SplashScreen> createSplash(const wxBitmap& picture, wxWindow* owner) {
  if (!picture.IsOk()) return nullptr;
  return std::make_unique<WxSplash>(new SplashFrame(owner, picture));
}

void dispatchPendingEvents() {
  if (wxTheApp) wxTheApp->Yield(true);
}

}  // namespace wxui
