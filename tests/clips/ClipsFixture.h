// The clip-management fixture: the simulator on the virtual clock with both drives listed,
// and checks that a list shows exactly what the unit's directory holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/ExplorerFixture.h"
#include "support/Labels.h"

class ClipsTest : public ExplorerFixture {
 protected:
  // Seeds the unit, lists both drives, and forgets the lines, boxes and time that took.
  void start(const std::string& manifest);
  // Lists both drives again on a unit without faults, then gives it fault: each case of a
  // table starts from the same lists.
  void restartWith(const sim::FaultRule& fault);
  // Makes label the one selected row of drive's list (it must be there).
  void selectRow(DriveKind drive, const std::string& label);
  // Message boxes shown since start(), as "caption|text".
  std::vector<std::string> newBoxes() const;
  std::vector<int> newDialogs() const;
  // Virtual time since start().
  std::int64_t elapsedMs() const { return clock.nowMs() - startMs_; }

  // The files of the unit's drive as a listing names them, sorted.
  std::vector<std::string> unitLabels(DriveKind drive) { return labels::ofUnit(unit.drive(drive)); }
  // The labels of drive's list, sorted.
  std::vector<std::string> sortedLabels(DriveKind drive) { return labels::ofList(list(drive)); }
  // Lists both drives again (Refresh) and checks each list against the unit: nothing lost,
  // nothing doubled.
  void expectRefreshShowsUnit();

 private:
  std::int64_t startMs_ = 0;
  std::size_t boxesAtStart_ = 0;
  std::size_t dialogsAtStart_ = 0;
};

// The reply faults of the tests, named by what they do.
sim::FaultRule errorReply(const std::string& command, const std::string& code, sim::Reply reply = sim::Reply::First);
sim::FaultRule silence(const std::string& command, sim::Reply reply = sim::Reply::First);
