// One run of the program for the sequence tester: the explorer window on in-memory controls,
// the simulator behind the global serialLink on a virtual clock, a port that hands every line
// the unit's behaviour for it and holds the program to the rules of the line, and a user who
// answers every box and dialog at random.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Behaviours.h"
#include "Random.h"
#include "platform/memory/MemoryDesktop.h"
#include "sim/MemoryPort.h"
#include "sim/Unit.h"
#include "ui/ExplorerDialog.h"

namespace sequence {

// Rules of the line, checked as the bytes pass: every name on the wire keeps the unit's name
// rule; every wait has the limit stated for what it waits for (100 ms drains, 5000 ms a status
// byte, 2000 "?R", 6000 "?D", 7000 "?V", none for the start of a completion); the rest of a
// status reply that has begun is awaited no longer than status limits allow, even in a
// completion wait; and no wait goes on in silence once the unit has sent, whole, the reply
// that ends an operation.
class WirePort : public sim::MemoryPort {
 public:
  // Virtual time one step may take before every read fails and the step counts as hung.
  static constexpr std::int64_t kHangCapMs = 24LL * 60 * 60 * 1000;

  WirePort(sim::Unit& unit, sim::VirtualClock& clock) : MemoryPort(unit, clock), unit_(unit), clock_(clock) {}
  bool writeByte(std::uint8_t value) override;
  int readByte(int timeoutMs) override;

  void startStep(Mood mood, std::uint64_t seed);
  // The user has answered a box or dialog: a wait after it is a new one.
  void userAnswered();
  // The first rule broken since the step started, as "rule: what happened"; empty if none.
  const std::string& problem() const { return problem_; }
  // Whether a line went out this step while a late reply to an earlier one was still on its
  // way. The program may take that reply for the answer to the later line, which nothing on
  // the line tells apart: a refused selection then looks made, a refused cue looks cued.
  bool metStaleReplies() const { return metStaleReplies_; }
  // The drive whose directory a "?D" went out for this step, if every such reply was at worst
  // late or cut short: a listing of it may miss records, never show one the unit lacks.
  std::optional<DriveKind> cleanlyListed() const { return directoryGarbled_ ? std::nullopt : listedDrive_; }
  // Whether the step's last listing lost bytes of its capacity or directory reply: it must say
  // it is incomplete, never pass for the whole drive.
  bool lastListingCut() const { return lastListingCut_; }

 private:
  bool endLine();
  void note(const std::string& problem);
  bool limitFits(int timeoutMs) const;

  sim::Unit& unit_;
  sim::VirtualClock& clock_;
  Mood mood_ = Mood::Healthy;
  Random random_{0};
  std::int64_t stepStartMs_ = 0;
  std::string problem_;
  std::string raw_;          // the line being sent, every byte
  std::string unitLine_;     // the same as the unit reads it
  std::string lastLine_;     // the last line sent, as the unit read it
  bool replyBegun_ = false;  // the last byte read began a status reply ("R" or "E")
  // A status reply to the last line is awaited (none has begun, the user has not been asked
  // since), and since when: the whole wait is bounded, whatever noise comes meanwhile.
  bool awaitingStatus_ = false;
  std::int64_t lineEndedMs_ = 0;
  bool metStaleReplies_ = false;
  std::optional<DriveKind> listedDrive_;
  bool directoryGarbled_ = false;
  bool lastListingCut_ = false;
  std::int64_t quietSinceUs_ = 0;             // the last byte either way
  std::optional<std::int64_t> completionUs_;  // when the unit sent a whole reply ending the last operation
};

// Answers Yes or No, Retry or Cancel at random, and gives up (No, Cancel) once a step has
// asked too often, so that no step runs for ever.
class RandomUser : public platform::memory::MemoryDesktop {
 public:
  int messageBox(const std::string& text, const std::string& caption, unsigned style) override;
  int runTemplateDialog(int templateId) override;

  // The step's answers are drawn from seed; each answer is reported to port.
  void startStep(WirePort& port, std::uint64_t seed);
  bool confirmedDelete() const { return confirmedDelete_; }
  bool confirmedFormat() const { return confirmedFormat_; }
  std::string playedLast;  // the row the user last played, to go back to

 private:
  bool answerYes(int percent);

  WirePort* port_ = nullptr;
  Random random_{0};
  int asked_ = 0;
  bool confirmedDelete_ = false;
  bool confirmedFormat_ = false;
};

class World {
 public:
  // Both drives filled from seed, the window initialised (both drives listed on a healthy
  // unit) and the Removable list focused, as at start-up.
  explicit World(std::uint64_t seed);
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // A new step: the unit behaves as mood says; the unit and the user draw from seed.
  void startStep(Mood mood, std::uint64_t seed);
  // The user waits until the unit has said all it had to say.
  void settle();
  platform::memory::MemoryListView& list(DriveKind drive);

  sim::Unit unit;
  sim::VirtualClock clock;
  WirePort* port = nullptr;  // owned by serialLink
  RandomUser user;
  std::unique_ptr<ExplorerDialog> dialog;
  platform::memory::MemoryExplorerWindow* window = nullptr;
};

}  // namespace sequence
