#include "app/ExplorerApp.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <memory>
#include <string_view>

#include "app/PortSelectDialog.h"
#include "link/SerialLink.h"
#include "protocol/Lines.h"
#include "ui/ExplorerDialog.h"
#include "ui/ProgressDialog.h"

namespace {

namespace fs = std::filesystem;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::int32_t kPresetPortIndex = 1;  // COM2, the button the dialog checks
constexpr const char* kProgramName = "Dorvik Explorer";
constexpr std::string_view kErrorPrefix = "Dorvik Explorer: ";

bool mentionsPermission(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text.find("permission denied") != std::string::npos;
}

// Standard error names the program at the start of every line.
std::string asErrorLines(std::string text) {
  for (auto at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    text.insert(at + 1, kErrorPrefix);
  }
  return std::string(kErrorPrefix) + text + "\n";
}

}  // namespace

std::string portOpenFailureText(const std::string& portName, const std::string& message, const std::string& reason) {
  std::string text = portName + ": " + message;
  if (!reason.empty()) text += " (" + reason + ")";
  if (reason.find("temporarily unavailable") != std::string::npos) {
    text += "\nAnother program is using the port.";
  } else if (mentionsPermission(reason)) {
    text +=
        "\nSerial devices are usually open to the dialout group only: add your user to it (sudo usermod "
        "-aG dialout $USER) and log in again.";
  }
  return text;
}

std::string reopenFailureText(const std::string& portName, const std::string& message, const std::string& reason) {
  return "The unit's port went away and does not open again yet: plug its adapter in again, then retry.\n" +
         portOpenFailureText(portName, message, reason);
}

ExplorerApp::~ExplorerApp() {
  if (desktop_ != nullptr) serialLink.onReopenFailure = nullptr;
}

bool ExplorerApp::initInstance(platform::Desktop& desktop) {
  desktop_ = &desktop;
  if (progressDialog.desktop() == nullptr) progressDialog.attach(&desktop);
  serialLink.onReopenFailure = [this](const std::string& message) { tellReopenFailure(message); };

  if (!readConfig() && !choosePort()) return false;
  std::string reported;
  openLink(reported);
  if (!probeUnit()) {
    // A port that would not open has already said why; an open one that was silent says so.
    if (serialLink.isOpen()) tellNoAnswer();
    serialLink.close();
    // The port chosen now is not probed: the user is asked at most twice per start.
    if (!choosePort()) return false;
    openLink(reported);
  }
  saveConfig();

  ExplorerDialog dialog(desktop);
  desktop.runExplorer(dialog);
  return false;
}

int ExplorerApp::exitInstance() {
  serialLink.close();
  serialLink.onReopenFailure = nullptr;
  return 0;
}

// True with portIndex set when "mav.cfg" begins with '1'..'4'. Only a regular file is read
// (a folder or a device is no configuration, and a FIFO would block), and only its first byte.
bool ExplorerApp::readConfig() {
  bytesRead = 0;
  std::error_code error;
  if (!fs::is_regular_file(kConfigFile, error)) return false;
  const File file(std::fopen(kConfigFile, "rb"));
  if (!file) return false;
  bytesRead = static_cast<std::uint32_t>(std::fread(replyBuffer, 1, 1, file.get()));
  const std::uint8_t digit = replyBuffer[0];
  if (bytesRead != 1 || digit < '1' || digit > '4') return false;
  portIndex = digit - '1';
  return true;
}

// Shows the port dialog with COM2 preset; false when the user chose Exit.
bool ExplorerApp::choosePort() {
  portIndex = kPresetPortIndex;
  PortSelectDialog dialog(portIndex);
  return desktop_->runPortSelect(dialog) == platform::IDOK;
}

// A failed open shows up as a failed probe. Its reason is told before the port dialog comes
// again, once per distinct failure, on the screen and on standard error, so that the user can
// fix it rather than read about cables and power.
void ExplorerApp::openLink(std::string& reported) {
  const std::string message = serialLink.open(portIndex, kBaudRate, 0);
  if (message.empty()) return;
  const std::string text = portOpenFailureText(serialLink.portName(portIndex), message, serialLink.lastErrorText);
  if (text == reported) return;
  reported = text;
  std::cerr << asErrorLines(text) << std::flush;
  desktop_->messageBox(text, kProgramName, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// Without it the port dialog would simply come again, and the user could not tell why.
void ExplorerApp::tellNoAnswer() {
  const std::string text = "No unit answered on " + serialLink.portName(portIndex) +
                           ".\nCheck that the unit is switched on and that its serial cable is in this port; "
                           "`dorvik ports` shows where each COM number leads. Choose the port next.";
  std::cerr << asErrorLines(text) << std::flush;
  desktop_->messageBox(text, kProgramName, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

void ExplorerApp::tellReopenFailure(const std::string& message) {
  const std::string text = reopenFailureText(serialLink.portName(portIndex), message, serialLink.lastErrorText);
  std::cerr << asErrorLines(text) << std::flush;
  desktop_->messageBox(text, kProgramName, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// True when the first reply byte to "0SL" is 'R' or 'E': either way a unit answers.
bool ExplorerApp::probeUnit() {
  workText = std::string(selectLine(Internal)) + '\r';
  // The buffer still holds the byte read from "mav.cfg": an 'R' or 'E' there must not pass
  // for an answer when none comes.
  std::fill(std::begin(replyBuffer), std::end(replyBuffer), std::uint8_t{0});
  serialLink.drain();
  serialLink.sendLine(workText);
  serialLink.readBytes(replyBuffer, sizeof replyBuffer, kProbeTimeoutMs);
  return replyBuffer[0] == 'R' || replyBuffer[0] == 'E';
}

// Replaces "mav.cfg" by the one port digit. A file that cannot be deleted keeps its old
// content, and a folder of that name is never removed; neither stops the start-up.
void ExplorerApp::saveConfig() {
  workText = std::string(1, static_cast<char>('1' + portIndex));
  bytesWritten = 0;
  std::error_code error;
  std::string reason;
  if (fs::is_directory(fs::symlink_status(kConfigFile, error))) {
    reason = "a folder has that name";
  } else if (fs::remove(kConfigFile, error); fs::exists(fs::symlink_status(kConfigFile, error))) {
    reason = error ? error.message() : "the old file cannot be removed";
  } else if (const File file(std::fopen(kConfigFile, "wb")); !file) {
    reason = std::strerror(errno);
  } else {
    bytesWritten = static_cast<std::uint32_t>(std::fwrite(workText.data(), 1, 1, file.get()));
    if (bytesWritten == 0 || std::fflush(file.get()) != 0) reason = std::strerror(errno);
  }
  if (reason.empty() || desktop_ == nullptr) return;
  // Not saved, the port would be asked for at every start without a word why.
  desktop_->messageBox("The port cannot be saved in " + (fs::current_path(error) / kConfigFile).string() + ": " +
                           reason + ".\nIt will be asked for again at the next start.",
                       kProgramName, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}
