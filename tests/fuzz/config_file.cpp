// Fuzz target: the start-up with any content in "mav.cfg". Each run has a folder of its own
// (TMPDIR=/dev/shm makes that cheap); the unit answers on every port, and the user picks COM1
// when asked. Whatever the file held,
// the start-up must end up on the port it named (or COM1) and leave exactly that one digit.
#include <fstream>
#include <iterator>
#include <string>

#include "FuzzSupport.h"
#include "app/ExplorerApp.h"
#include "link/SerialLink.h"
#include "res/Resources.h"
#include "sim/MemoryPort.h"
#include "support/Globals.h"
#include "support/WorkingFolder.h"
#include "ui/ProgressDialog.h"

namespace {

// The explorer window's own logic is fuzzed elsewhere: here it only has to come up.
class StartupOnly : public platform::memory::MemoryDesktop {
 public:
  int runExplorer(ExplorerDialog&) override {
    ++windows;
    return platform::IDCANCEL;
  }
  int windows = 0;
};

std::string fileContent(const char* name) {
  std::ifstream file(name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const WorkingFolder folder;
  std::ofstream(ExplorerApp::kConfigFile, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  sim::Unit unit;
  sim::VirtualClock clock;
  serialLink.setPort(std::make_unique<sim::MemoryPort>(unit, clock));
  StartupOnly desktop;
  desktop.answerPortSelect(res::IDC_COM1, platform::IDOK);
  ExplorerApp app;
  app.initInstance(desktop);

  const bool named = size >= 1 && data[0] >= '1' && data[0] <= '4';
  const char digit = named ? static_cast<char>(data[0]) : '1';
  fuzz::require(fileContent(ExplorerApp::kConfigFile) == std::string(1, digit), "mav.cfg not rewritten as one digit");
  fuzz::require(serialLink.portIndex == digit - '1', "the link open on another port");
  fuzz::require(desktop.windows == 1, "the main window did not come up");

  resetGlobals();
  return 0;
}
