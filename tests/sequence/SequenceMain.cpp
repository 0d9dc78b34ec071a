// test_sequence has a main of its own: besides GoogleTest's flags it takes the fresh run's
// seed and length (--seed=N, --steps=N), which win over DORVIK_SEQ_SEED and DORVIK_SEQ_STEPS.
#include <gmock/gmock.h>

#include <cstdlib>
#include <string>

#include "Search.h"

namespace sequence {

Settings& settings() {
  static Settings values;
  return values;
}

}  // namespace sequence

namespace {

std::optional<std::uint64_t> number(const char* text) {
  if (text == nullptr || *text == '\0') return std::nullopt;
  return std::strtoull(text, nullptr, 10);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleMock(&argc, argv);
  sequence::Settings& settings = sequence::settings();
  settings.seed = number(std::getenv("DORVIK_SEQ_SEED"));
  settings.steps = number(std::getenv("DORVIK_SEQ_STEPS"));
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.starts_with("--seed=")) settings.seed = number(argv[i] + 7);
    if (argument.starts_with("--steps=")) settings.steps = number(argv[i] + 8);
  }
  return RUN_ALL_TESTS();
}
