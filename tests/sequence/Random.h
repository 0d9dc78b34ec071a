// The tester's random numbers: SplitMix64, the same on every compiler and standard library,
// so that a printed seed replays the same sequence anywhere (the standard distributions are
// not specified that far).
#pragma once

#include <cstddef>
#include <cstdint>

namespace sequence {

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}

  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // 0 to n - 1, for n > 0.
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  bool chance(int percent) { return below(100) < percent; }
  template <class T, std::size_t N>
  const T& pick(const T (&items)[N]) {
    return items[below(static_cast<int>(N))];
  }

 private:
  std::uint64_t state_;
};

}  // namespace sequence
