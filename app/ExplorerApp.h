// ExplorerApp: start-up and exit. Reads "mav.cfg" (one byte, the port digit '1'..'4'), asks
// for a port when it has none, opens the serial link at 9600 baud, probes the unit with
// "0SL", asks once more when nothing answers, saves the port digit and runs the main window.
// `dorvik` takes the same reading and probing steps. Beside it, the words a port that will not
// open is told in.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Desktop.h"

class ExplorerApp {
 public:
  ~ExplorerApp();  // the link no longer reports to this application
  static constexpr const char* kConfigFile = "mav.cfg";
  static constexpr std::uint32_t kBaudRate = 9600;
  static constexpr int kProbeTimeoutMs = 2000;

  // The start-up routine; always returns false (there is no message loop of its own).
  bool initInstance(platform::Desktop& desktop);
  // The exit step: closes the serial link; returns the process exit code.
  int exitInstance();

  platform::Desktop* desktop() const { return desktop_; }

  // Start-up steps the command-line program takes too.
  bool readConfig();
  bool probeUnit();

  // Fields, in order.
  std::int32_t portIndex = 0;
  std::uint8_t replyBuffer[4] = {0, 0, 0, 0};
  std::uint32_t bytesRead = 0;
  std::uint32_t bytesWritten = 0;
  std::string workText;

 private:
  bool choosePort();
  void openLink(std::string& reported);
  void tellNoAnswer();
  void tellReopenFailure(const std::string& message);
  void saveConfig();

  platform::Desktop* desktop_ = nullptr;
};

extern ExplorerApp theApp;

// Why a port would not open, as the user reads it: the port's name, the link's message, the
// system's reason, and the fix when the reason is a missing permission. One line each.
std::string portOpenFailureText(const std::string& portName, const std::string& message, const std::string& reason);
// What a port whose device went away and would not open again says: the same, introduced.
std::string reopenFailureText(const std::string& portName, const std::string& message, const std::string& reason);
