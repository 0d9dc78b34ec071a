// dorvik-explorer.exe: the desktop program on Windows. Like the Linux one it works in its
// current folder, where "mav.cfg" lives, or with --config-folder (as the Start-menu entry
// starts it) in "Dorvik Explorer" under the user's application-data folder.
#include <string>

#include "app/ExplorerApp.h"
#include "app/StartOptions.h"
#include "platform/win32/Win32Desktop.h"
#include "ui/ProgressDialog.h"

namespace {

void warn(const std::string& text) {
  MessageBoxA(nullptr, text.c_str(), "Dorvik Explorer", MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const DesktopOptions options = parseDesktopOptions(__argc, __argv);
  if (!options.problem.empty()) {
    warn(options.problem);
    return 2;
  }
  // Before the working folder changes, so that a relative name means where the user is.
  const std::string traceProblem = startWireTrace(options.trace, "dorvik-explorer " DORVIK_VERSION);
  if (!traceProblem.empty()) {
    warn("The wire trace cannot be written:\n" + traceProblem);
    return 1;
  }
  if (options.configFolder) {
    const std::string folderProblem = enterDesktopFolder();
    if (!folderProblem.empty()) warn(folderProblem);
  }
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  win32ui::Win32Desktop desktop;
  progressDialog.attach(&desktop);
  theApp.initInstance(desktop);
  const int exitCode = theApp.exitInstance();
  progressDialog.attach(nullptr);
  return exitCode;
}
