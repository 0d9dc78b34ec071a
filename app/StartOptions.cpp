#include "app/StartOptions.h"

#include <cstdlib>
#include <string_view>

#include "link/SerialLink.h"

DesktopOptions parseDesktopOptions(int argc, const char* const* argv) {
  DesktopOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view word = argv[i];
    if (word == "--config-folder") {
      options.configFolder = true;
    } else if (word == "--trace" && i + 1 < argc) {
      options.trace = argv[++i];
    } else if (word == "--trace") {
      options.problem = "--trace needs a file";
    }
  }
  return options;
}

std::string startWireTrace(const std::string& path, const std::string& program) {
  const char* variable = std::getenv("DORVIK_TRACE");
  const std::string file = path.empty() && variable != nullptr ? variable : path;
  if (file.empty()) return "";
  std::string problem;
  auto trace = WireTrace::create(file, program, problem);
  if (!trace) return problem;
  serialLink.setTrace(std::move(trace));
  return "";
}
