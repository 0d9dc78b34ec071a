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

std::string enterDesktopFolder() {
  const std::filesystem::path folder = desktopFolder();
  if (folder.empty()) return "The working folder cannot be found: no environment variable names the user's folders.";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!error) std::filesystem::current_path(folder, error);
  if (!error) return "";
  return "The working folder " + folder.string() + " cannot be used: " + error.message() + ".\nThe port is looked for in " +
         std::filesystem::current_path(error).string() + " instead.";
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
