// Random action sequences against a misbehaving unit, every step judged by the invariants
// (Invariants.h): a fixed seed that every run repeats, and a fresh one per run, printed so
// that a failure can be replayed (--seed=N or DORVIK_SEQ_SEED=N).
#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <random>

#include "Search.h"

namespace {

constexpr std::uint64_t kFixedSeed = 1;
constexpr std::size_t kFixedSteps = 5000;
constexpr std::size_t kFreshSteps = 1000;

TEST(Sequence, FixedSeedKeepsEveryRule) {
  const auto result = sequence::search(kFixedSeed, kFixedSteps, std::cout);
  EXPECT_EQ(result.broken, "") << "replay: test_sequence --gtest_filter='*Fresh*' --seed=" << kFixedSeed
                               << " --steps=" << kFixedSteps;
  EXPECT_EQ(result.steps, kFixedSteps);
}

TEST(Sequence, FreshSeedKeepsEveryRule) {
  const sequence::Settings& settings = sequence::settings();
  std::random_device device;
  const std::uint64_t seed = settings.seed.value_or((std::uint64_t{device()} << 32) | device());
  const std::size_t steps = settings.steps.value_or(kFreshSteps);
  std::cout << "fresh seed " << seed << ", " << steps << " steps\n";
  const auto start = std::chrono::steady_clock::now();
  const auto result = sequence::search(seed, steps, std::cout);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::cout << result.steps << " steps in " << took.count() << " s\n";
  EXPECT_EQ(result.broken, "") << "replay: test_sequence --gtest_filter='*Fresh*' --seed=" << seed
                               << " --steps=" << steps;
}

}  // namespace
