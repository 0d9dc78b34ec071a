// dorvik-explorer: the desktop program. It takes no options and works in its current
// directory, where "mav.cfg" and the COMn links live.
#include <wx/app.h>

#include "app/ExplorerApp.h"
#include "platform/wx/WxDesktop.h"
#include "ui/ProgressDialog.h"

namespace {

class DorvikExplorerApp : public wxApp {
 public:
  // The base would parse the command line; this program has no options.
  bool OnInit() override { return true; }

  // Start-up runs its own modal dialogs and returns when the main window has ended; there is
  // no main loop of the application's own.
  int OnRun() override {
    wxui::WxDesktop desktop;
    progressDialog.attach(&desktop);
    theApp.initInstance(desktop);
    const int exitCode = theApp.exitInstance();
    progressDialog.attach(nullptr);
    return exitCode;
  }
};

}  // namespace

wxIMPLEMENT_APP(DorvikExplorerApp);
