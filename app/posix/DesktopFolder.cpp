// The menu entry's working folder on POSIX systems: the XDG configuration folder's.
#include <cstdlib>

#include "app/StartOptions.h"

std::filesystem::path desktopFolder() {
  namespace fs = std::filesystem;
  // A relative XDG_CONFIG_HOME is no folder to rely on; the home's .config is the default.
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && fs::path(config).is_absolute()) {
    return fs::path(config) / "dorvik-explorer";
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return {};
  return fs::path(home) / ".config" / "dorvik-explorer";
}
