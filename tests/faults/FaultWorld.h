// One run of the program against a misbehaving unit: the simulator behind the global
// serialLink through the in-memory port on a virtual clock, and a user who always answers the
// same way (Retry, Continue, Yes to the delete and format questions, Yes to the first offer to
// format an unformatted drive and No to every later one, OK to the rest).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/memory/MemoryDesktop.h"
#include "sim/MemoryPort.h"
#include "sim/Unit.h"

namespace faults {

// A port that turns a wait without end into a failure the test can see: past the hang cap of
// virtual time every read fails at once and the run counts as hung.
class WatchedPort : public sim::MemoryPort {
 public:
  static constexpr std::int64_t kHangCapMs = 24LL * 60 * 60 * 1000;

  WatchedPort(sim::Unit& unit, sim::VirtualClock& clock) : MemoryPort(unit, clock), clock_(clock) {}
  int readByte(int timeoutMs) override;
  bool hung() const { return hung_; }

 private:
  sim::VirtualClock& clock_;
  bool hung_ = false;
};

class SteadyUser : public platform::memory::MemoryDesktop {
 public:
  int messageBox(const std::string& text, const std::string& caption, unsigned style) override;
  int runTemplateDialog(int templateId) override;

 private:
  bool formatOffered_ = false;
};

class FaultWorld {
 public:
  // Seeded unit finishing copies, deletes and formats completionDelayMs after accepting them,
  // port open behind serialLink, the user's answers queued.
  explicit FaultWorld(int completionDelayMs);
  ~FaultWorld();
  FaultWorld(const FaultWorld&) = delete;
  FaultWorld& operator=(const FaultWorld&) = delete;

  // Whatever the unit still had to say is dropped and the line is plugged in again, as when
  // a user power-cycles the unit after a fault.
  void recover();

  sim::Unit unit;
  sim::VirtualClock clock;
  WatchedPort* port = nullptr;  // owned by serialLink
  SteadyUser desktop;
};

}  // namespace faults
