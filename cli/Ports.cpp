#include "cli/Ports.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <thread>

#include "app/ExplorerApp.h"
#include "app/StartOptions.h"
#include "cli/ConsoleDesktop.h"
#include "cli/Text.h"
#include "link/SerialLink.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

constexpr auto kWaitStep = std::chrono::milliseconds(500);

// The desktop program's working folder when started from the menu.
bool holdsPortSetup(const fs::path& folder) {
  std::error_code error;
  for (const char* name : {ExplorerApp::kConfigFile, "COM1", "COM2", "COM3", "COM4"}) {
    if (fs::exists(fs::symlink_status(folder / name, error))) return true;
  }
  return false;
}

// Works where the port set-up is: here, else the desktop's folder. Paths the user gave are
// taken before the move (a device path is opened as given).
void moveToPortSetup() {
  std::error_code error;
  const fs::path desktop = desktopFolder();
  if (holdsPortSetup(".") || desktop.empty() || !fs::is_directory(desktop, error)) return;
  fs::current_path(desktop, error);
}

}  // namespace

std::string openPort(const Arguments& arguments, int& status) {
  const char* fromEnvironment = std::getenv("DORVIK_PORT");
  const std::string given = !arguments.port.empty() ? arguments.port : fromEnvironment ? fromEnvironment : "";
  std::string name = upperCase(given);
  int index = 0;
  if (given.find_first_of("/\\") != std::string::npos) {
    serialLink.setPort(makeDevicePort(given));
    name = given;
  } else {
    moveToPortSetup();
    if (given.empty()) {
      if (!theApp.readConfig()) {
        tell("no port: give --port or DORVIK_PORT, or run where mav.cfg names one");
        status = kUsage;
        return "";
      }
      index = theApp.portIndex;
    } else if (name.size() == 4 && name.starts_with("COM") && name[3] >= '1' && name[3] <= '4') {
      index = name[3] - '1';
    } else {
      tell("not a port: " + given + (arguments.port.empty() ? " (in DORVIK_PORT)" : "") +
           " (COM1 to COM4 or a device path)");
      status = kUsage;
      return "";
    }
    name = serialLink.portName(index);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(arguments.waitSeconds);
  std::string message = serialLink.open(index, ExplorerApp::kBaudRate, 0);
  while (!message.empty() && std::chrono::steady_clock::now() + kWaitStep <= deadline) {
    std::this_thread::sleep_for(kWaitStep);
    message = serialLink.open(index, ExplorerApp::kBaudRate, 0);
  }
  if (!message.empty()) {
    tell(portOpenFailureText(name, message, serialLink.lastErrorText));
    status = kPortClosed;
    return "";
  }
  theApp.portIndex = index;
  serialLink.onReopenFailure = [name](const std::string& failure) {
    tell(reopenFailureText(name, failure, serialLink.lastErrorText));
  };
  return name;
}

int showPorts(const Arguments& arguments, std::ostream& out) {
  moveToPortSetup();
  const std::vector<PortLead> ports = listPorts();
  if (arguments.json) {
    out << "{\"ports\": [";
    for (std::size_t i = 0; i < ports.size(); ++i) {
      out << (i ? ", " : "") << "{\"name\": " << jsonString(ports[i].name)
          << ", \"device\": " << jsonString(ports[i].device) << ", \"why\": " << jsonString(ports[i].why) << "}";
    }
    out << "]}\n";
    return kDone;
  }
  for (const PortLead& port : ports) {
    out << std::left << std::setw(6) << (port.name.empty() ? "-" : port.name);
    out << (port.device.empty() ? "" : port.device + "  ") << port.why << "\n";
  }
  return kDone;
}

}  // namespace cli
