// Shared by the transaction and listing tests: the explorer fixture on the virtual clock,
// plus the time at which each line reached the unit, raw directory records for the
// simulated drives, and a check after every test that each wait cursor was taken down.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/Directory.h"
#include "sim/Faults.h"
#include "support/ExplorerFixture.h"

// A FAT directory record: the 11-byte name field as it stands, the attribute and the size.
directory::Record makeRecord(std::string_view nameField, std::uint32_t size, std::uint8_t attribute = 0x20);

class ProtocolFixture : public ExplorerFixture {
 protected:
  struct LineAt {
    std::string line;
    std::int64_t atMs;
    int cursorDepth;  // wait cursors up when the line's CR went out
    bool mainWindowEnabled;
  };

  void SetUp() override;
  void TearDown() override;

  // Replaces a drive's directory with records from slot firstSlot on; every other slot empty.
  void putRecords(DriveKind drive, const std::vector<directory::Record>& records, std::size_t firstSlot = 0);
  void addFault(const std::string& command, sim::Fault fault, int count = 0, int times = 1);
  void addErrorCode(const std::string& command, const std::string& code, int times = 1);
  // When the first line equal to text reached the unit; -1 if none did.
  std::int64_t sentAtMs(const std::string& text) const;
  std::vector<std::string> labels(DriveKind drive) { return list(drive).labels(); }
  // Each row as "name|length|size|image|key", in list order.
  std::vector<std::string> rows(DriveKind drive);
  int shownCount(platform::memory::Shown::Kind kind) const { return static_cast<int>(desktop.shownOf(kind).size()); }

  std::vector<LineAt> lines;
};
