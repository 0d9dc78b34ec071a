#include "Com1.h"
#include "link/SerialLink.h"
#include "support/Globals.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <thread>

namespace win32_test {

namespace {

constexpr const char* kLogPrefix = "received: ";
constexpr auto kLogPatience = std::chrono::seconds(5);

// The system port in place of whatever an earlier test left behind the link.
void useSystemPort() {
  ASSERT_NE(std::getenv("DORVIK_SIM_LOG"), nullptr) << "run through tools/windows-test.sh";
  resetGlobals();
}

}  // namespace

UnitLog::UnitLog() {
  const char* path = std::getenv("DORVIK_SIM_LOG");
  path_ = path != nullptr ? path : "";
  seen_ = readAll().size();
}

std::vector<std::string> UnitLog::readAll() const {
  std::vector<std::string> lines;
  std::ifstream in(path_);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(kLogPrefix, 0) == 0) lines.push_back(line.substr(std::char_traits<char>::length(kLogPrefix)));
  }
  return lines;
}

std::vector<std::string> UnitLog::take(std::size_t expected) {
  const auto deadline = Clock::now() + kLogPatience;
  std::vector<std::string> lines = readAll();
  // The simulator logs a line on its own thread, maybe just after it has answered it.
  while (lines.size() < seen_ + expected && Clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    lines = readAll();
  }
  std::vector<std::string> fresh(lines.begin() + static_cast<std::ptrdiff_t>(std::min(seen_, lines.size())),
                                 lines.end());
  seen_ = lines.size();
  return fresh;
}

void Com1Test::SetUp() { useSystemPort(); }

void Com1Test::TearDown() { serialLink.close(); }

void Com1ExplorerTest::SetUp() {
  ASSERT_NO_FATAL_FAILURE(useSystemPort());
  ASSERT_EQ(serialLink.open(0, 9600, 0), "");
  openDialog();
}

void Com1ExplorerTest::TearDown() { closeDialog(); }

}  // namespace win32_test
