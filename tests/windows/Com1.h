// Shared by the tests of the Win32 port: the real system port on COM1, behind which
// tools/windows-test.sh runs dorvik-unit-sim (seeded from com1.manifest) on a Linux
// pseudo-terminal; COM2 leads to a path where there is no device. The simulator's --log
// output goes to the file that DORVIK_SIM_LOG names.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/ExplorerFixture.h"

namespace win32_test {

using Clock = std::chrono::steady_clock;

inline std::int64_t millisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The lines the simulator logged as received, read from its log file.
class UnitLog {
 public:
  UnitLog();  // what is logged already belongs to earlier tests

  // The lines received since construction or the previous call, once at least `expected`
  // of them are logged (or after 5 s, with whatever is there).
  std::vector<std::string> take(std::size_t expected);

 private:
  std::vector<std::string> readAll() const;

  std::string path_;
  std::size_t seen_ = 0;
};

// serialLink on the operating system's port, closed before and after each test.
class Com1Test : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  UnitLog log;
};

// An explorer window on in-memory controls, talking to the unit through COM1. The base's
// in-process simulator stays idle: the unit is the one behind COM1.
class Com1ExplorerTest : public ExplorerTestBase {
 protected:
  void SetUp() override;
  void TearDown() override;

  UnitLog log;
};

}  // namespace win32_test
