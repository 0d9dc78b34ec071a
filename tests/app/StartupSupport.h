// Shared by the start-up tests: a fresh working folder, the file helpers around "mav.cfg",
// a capture of standard error, and a desktop that records the port dialogs and the main
// window's run instead of running the explorer's logic.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/memory/MemoryDesktop.h"
#include "support/WorkingFolder.h"

namespace startup_test {

// Whole content of a regular file; nullopt when there is none (missing, a folder).
std::optional<std::string> readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// Standard error while it lives.
class CerrCapture {
 public:
  CerrCapture() : previous_(std::cerr.rdbuf(captured_.rdbuf())) {}
  ~CerrCapture() { std::cerr.rdbuf(previous_); }
  CerrCapture(const CerrCapture&) = delete;
  CerrCapture& operator=(const CerrCapture&) = delete;

  std::string text() const { return captured_.str(); }

 private:
  std::ostringstream captured_;
  std::streambuf* previous_;
};

int occurrences(const std::string& text, const std::string& part);

// The state of serialLink when a window came up, and the time it came up at.
struct LinkState {
  bool open = false;
  int portIndex = -1;
  std::int64_t atMs = 0;
};

class StartupDesktop : public platform::memory::MemoryDesktop {
 public:
  explicit StartupDesktop(std::function<std::int64_t()> nowMs) : nowMs_(std::move(nowMs)) {}

  int runPortSelect(PortSelectDialog& dialog) override;
  // The main window's own logic is tested elsewhere: here it only has to have run.
  int runExplorer(ExplorerDialog& dialog) override;

  std::vector<LinkState> portDialogs;
  std::vector<LinkState> mainWindows;

 private:
  LinkState linkState() const;

  std::function<std::int64_t()> nowMs_;
};

}  // namespace startup_test
