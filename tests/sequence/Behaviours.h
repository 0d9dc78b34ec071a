// What the simulated unit does with each line the program sends, drawn as the line's CR goes
// out: a fault on its reply (late by any time up to past the program's limit, silent, an error
// code known or not, noise, cut short, surplus, the line closing), a fault on the second reply
// of a copy, delete or format, and how long such an operation takes (from at once on).
#pragma once

#include <optional>
#include <string>

#include "Random.h"
#include "sim/Faults.h"

namespace sequence {

// How the unit behaves during one step.
enum class Mood {
  Healthy,            // every reply as it should be
  SpoiledCompletion,  // the reply that ends the first copy, delete or format is lost or garbled
  Faulty,             // any line may meet any fault
};

struct Behaviour {
  std::optional<sim::FaultRule> first;
  std::optional<sim::FaultRule> second;
  int completionDelayMs = 0;
};

Behaviour drawBehaviour(const std::string& line, Mood mood, Random& random);

// Copy, delete and format: answered twice.
bool isOperation(const std::string& line);
// The per-byte limit the program gives the reply to line (a status reply's, or a query's).
int replyLimitMs(const std::string& line);
// Whether the fault on a first reply means the unit ignored or refused the line.
bool refusesLine(const sim::FaultRule& fault);
// Whether the fault only delays a reply, cuts it short or withholds it: what arrives is the
// reply's own bytes in their order.
bool onlyCutsShort(const sim::FaultRule& fault);
// Whether a reply so faulted still arrives whole and readable within limitMs: late but in
// time, with noise around it (ending well within the whole reply's bound), or a known error
// code.
bool arrivesWhole(const std::optional<sim::FaultRule>& fault, int limitMs);
// Whether a data reply of `length` bytes (capacity, directory) so faulted loses bytes: cut,
// withheld, past its limit, or replaced by a shorter status reply.
bool losesData(const sim::FaultRule& fault, int limitMs, std::size_t length);

}  // namespace sequence
