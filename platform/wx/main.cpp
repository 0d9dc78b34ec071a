// dorvik-explorer: the desktop program. It works in its current directory, where "mav.cfg"
// and the COMn links live, or with --config-folder in a folder of its own, as the desktop
// menu starts it.
#include <X11/Xlib.h>
#include <wx/app.h>
#include <wx/init.h>
#include <wx/msgdlg.h>

#include <cstring>
#include <iostream>

#include "app/ExplorerApp.h"
#include "app/StartOptions.h"
#include "link/SerialPort.h"
#include "platform/wx/WxDesktop.h"
#include "ui/ProgressDialog.h"

namespace {

constexpr const char* kUsage =
    "usage: dorvik-explorer [--config-folder] [--trace FILE] | --help | --version\n"
    "Manages the clips on a Dorvik video playback unit over a serial line (COM1 to COM4).\n"
    "Works in the current folder: mav.cfg keeps the chosen port, and a file or symbolic link\n"
    "COMn there is used as port n (otherwise the n-th serial port: UARTs, then adapters by\n"
    "their /dev/serial/by-id names; `dorvik ports` shows where each leads).\n"
    "\n"
    "  --config-folder   work in $XDG_CONFIG_HOME/dorvik-explorer (~/.config/dorvik-explorer),\n"
    "                    made when missing, instead of the current folder\n"
    "  --trace FILE      write every byte to and from the unit into FILE (a wire trace, see\n"
    "                    dorvik-explorer(1)); DORVIK_TRACE=FILE in the environment does the same\n"
    "  --help            show this text\n"
    "  --version         show the version\n";

// Why the desktop menu's working folder could not be used, for a box once the toolkit runs.
std::string folderProblem;

// The toolkit ends the process at once when its X display goes away (the server stopped, the
// session ended): the port is released first, then the toolkit's own handler runs.
XIOErrorHandler toolkitIoErrorHandler = nullptr;

int onDisplayLost(Display* display) {
  releaseOpenPort();
  return toolkitIoErrorHandler != nullptr ? toolkitIoErrorHandler(display) : 1;
}

class DorvikExplorerApp : public wxApp {
 public:
  // The base would parse the command line; main has already read it. The display is open by
  // now, with the toolkit's handler of its loss in place.
  bool OnInit() override {
    toolkitIoErrorHandler = XSetIOErrorHandler(onDisplayLost);
    return true;
  }

  // Start-up runs its own modal dialogs and returns when the main window has ended; there is
  // no main loop of the application's own.
  int OnRun() override {
    wxui::WxDesktop desktop;
    progressDialog.attach(&desktop);
    if (!folderProblem.empty()) {
      desktop.messageBox(folderProblem, "Dorvik Explorer", platform::MB_OK | platform::MB_ICONEXCLAMATION);
    }
    theApp.initInstance(desktop);
    const int exitCode = theApp.exitInstance();
    progressDialog.attach(nullptr);
    return exitCode;
  }
};

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(DorvikExplorerApp);

int main(int argc, char** argv) {
  keepStandardStreamsOpen();
  // Answered before the toolkit starts, so that they work without a display.
  if (argc > 1 && std::strcmp(argv[1], "--version") == 0) {
    std::cout << "dorvik-explorer " << DORVIK_VERSION << "\n";
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--help") == 0) {
    std::cout << kUsage;
    return 0;
  }
  const DesktopOptions options = parseDesktopOptions(argc, argv);
  if (!options.problem.empty()) {
    std::cerr << "dorvik-explorer: " << options.problem << "\n" << kUsage;
    return 2;
  }
  // Before the working folder changes, so that a relative name means where the user is.
  const std::string traceProblem = startWireTrace(options.trace, "dorvik-explorer " DORVIK_VERSION);
  if (!traceProblem.empty()) {
    std::cerr << "dorvik-explorer: the wire trace cannot be written: " << traceProblem << "\n";
    if (wxEntryStart(argc, argv)) {
      wxMessageBox("The wire trace cannot be written:\n" + traceProblem, "Dorvik Explorer", wxOK | wxICON_EXCLAMATION);
      wxEntryCleanup();
    }
    return 1;
  }
  if (options.configFolder) folderProblem = enterDesktopFolder();
  if (!folderProblem.empty()) std::cerr << "dorvik-explorer: " << folderProblem << "\n";
  releasePortOnExitSignals();
  return wxEntry(argc, argv);
}
