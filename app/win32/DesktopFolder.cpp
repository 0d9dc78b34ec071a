// The Start-menu entry's working folder on Windows: the user's own application data, as an
// installed program's folder is not writable.
#include <cstdlib>

#include "app/StartOptions.h"

std::filesystem::path desktopFolder() {
  const char* appData = std::getenv("APPDATA");
  if (appData == nullptr || *appData == '\0') return {};
  return std::filesystem::path(appData) / "Dorvik Explorer";
}
