#include "Search.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "Directories.h"
#include "Invariants.h"

namespace sequence {

namespace {

std::string ruleOf(const std::string& broken) { return broken.substr(0, broken.find(':')); }

std::string hex(std::uint64_t value, const char* suffix) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%llX%s", static_cast<unsigned long long>(value), suffix);
  return text;
}

}  // namespace

std::optional<Failure> run(const Sequence& sequence) {
  World world(sequence.worldSeed);
  if (const std::string broken = checkStart(world); !broken.empty()) return Failure{0, printable(broken)};
  for (std::size_t i = 0; i < sequence.steps.size(); ++i) {
    const Step& step = sequence.steps[i];
    const Before state = before(world);
    const Intent intent = perform(world, step);
    if (const std::string broken = check(world, step, state, intent); !broken.empty()) {
      return Failure{i + 1, printable(broken)};
    }
  }
  return std::nullopt;
}

std::string firstBroken(const Sequence& sequence) {
  const auto failure = run(sequence);
  return failure ? failure->broken : "";
}

Sequence draw(std::uint64_t seed, std::size_t steps) {
  Random random(seed);
  Sequence sequence{random.next(), {}};
  for (std::size_t i = 0; i < steps; ++i) {
    const Act act = drawAct(random);
    sequence.steps.push_back({act, static_cast<std::uint32_t>(random.next())});
  }
  return sequence;
}

Sequence shrink(Sequence sequence, const Failure& failure) {
  const std::string rule = ruleOf(failure.broken);
  sequence.steps.resize(failure.steps);  // what follows the failing step plays no part
  // Whether the candidate still breaks the rule; if so it keeps only the steps up to the break.
  const auto stillBreaks = [&rule](Sequence& candidate) {
    const auto again = run(candidate);
    if (!again || ruleOf(again->broken) != rule) return false;
    candidate.steps.resize(again->steps);
    return true;
  };
  // Drops each run of chunk steps whose loss keeps the break; true when any went.
  const auto dropChunks = [&sequence, &stillBreaks](std::size_t chunk) {
    bool dropped = false;
    for (std::size_t at = 0; at < sequence.steps.size();) {
      Sequence candidate = sequence;
      const auto first = candidate.steps.begin() + static_cast<std::ptrdiff_t>(at);
      candidate.steps.erase(first, first + static_cast<std::ptrdiff_t>(std::min(chunk, candidate.steps.size() - at)));
      if (stillBreaks(candidate)) {
        sequence = std::move(candidate);
        dropped = true;
      } else {
        at += chunk;
      }
    }
    return dropped;
  };
  for (std::size_t chunk = std::max<std::size_t>(sequence.steps.size() / 2, 1);;) {
    const bool dropped = dropChunks(chunk);
    if (chunk > 1) {
      chunk /= 2;
    } else if (!dropped) {
      return sequence;
    }
  }
}

std::string asTestCode(const Sequence& sequence, const std::string& testName) {
  std::string code = "TEST(SequenceFound, " + testName + ") {\n  using enum sequence::Act;\n";
  code += "  const sequence::Sequence found{" + hex(sequence.worldSeed, "ULL") + ", {";
  for (std::size_t i = 0; i < sequence.steps.size(); ++i) {
    code += i % 4 == 0 ? "\n      " : " ";
    code += std::string("{") + nameOf(sequence.steps[i].act) + ", " + hex(sequence.steps[i].seed, "u") + "},";
  }
  code += "}};\n  EXPECT_EQ(sequence::firstBroken(found), \"\");\n}\n";
  return code;
}

SearchResult search(std::uint64_t seed, std::size_t steps, std::ostream& out) {
  Random seeds(seed);
  SearchResult result;
  for (std::size_t index = 0; result.steps < steps; ++index) {
    const Sequence sequence = draw(seeds.next(), std::min(kSequenceSteps, steps - result.steps));
    const auto failure = run(sequence);
    if (!failure) {
      result.steps += sequence.steps.size();
      continue;
    }
    result.steps += failure->steps;
    out << "seed " << seed << ": sequence " << index << " broke a rule at its step " << failure->steps << ", "
        << result.steps << " steps into the search:\n  " << failure->broken << "\n";
    const Sequence shrunk = shrink(sequence, *failure);
    result.broken = firstBroken(shrunk);
    out << "shrunk to " << shrunk.steps.size() << " steps:\n  " << result.broken << "\nas a test:\n"
        << asTestCode(shrunk, "Seed" + std::to_string(seed) + "Sequence" + std::to_string(index));
    return result;
  }
  return result;
}

}  // namespace sequence
