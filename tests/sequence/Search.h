// Sequences of steps: drawn from a seed, run against the invariants, and when one breaks a
// rule, shrunk to the few steps it needs and printed as a test ready to paste.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "Steps.h"

namespace sequence {

// Each search runs sequences of this many steps, each on a world of its own: a failure then
// replays and shrinks from a fresh start.
constexpr std::size_t kSequenceSteps = 60;

struct Sequence {
  std::uint64_t worldSeed;
  std::vector<Step> steps;
};

struct Failure {
  std::size_t steps = 0;  // steps run when the rule broke (0: at start)
  std::string broken;     // "rule: what happened", printable
};

std::optional<Failure> run(const Sequence& sequence);
// What a pasted test compares with "": the rule the sequence breaks, or nothing.
std::string firstBroken(const Sequence& sequence);
Sequence draw(std::uint64_t seed, std::size_t steps);
// Drops steps while the sequence still breaks the same rule.
Sequence shrink(Sequence sequence, const Failure& failure);
std::string asTestCode(const Sequence& sequence, const std::string& testName);

struct SearchResult {
  std::size_t steps = 0;  // run until the search ended
  std::string broken;     // the rule the shrunk sequence breaks; empty when all held
};

// Runs sequences drawn from seed until steps have run or a rule breaks; a failure is reported
// to out with the seed, shrunk, and printed as test code.
SearchResult search(std::uint64_t seed, std::size_t steps, std::ostream& out);

// The fresh run's seed and length: --seed=N and --steps=N on the command line, else the
// environment's DORVIK_SEQ_SEED and DORVIK_SEQ_STEPS.
struct Settings {
  std::optional<std::uint64_t> seed;
  std::optional<std::size_t> steps;
};
Settings& settings();

}  // namespace sequence
