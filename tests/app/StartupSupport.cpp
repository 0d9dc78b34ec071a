#include "StartupSupport.h"

#include <fstream>
#include <iterator>
#include <random>

#include "app/Globals.h"

namespace startup_test {

namespace fs = std::filesystem;

WorkingFolder::WorkingFolder() : previous_(fs::current_path()) {
  std::random_device random;
  do {
    path_ = fs::temp_directory_path() / ("dorvik-app-" + std::to_string(random()));
  } while (!fs::create_directory(path_));
  fs::current_path(path_);
}

WorkingFolder::~WorkingFolder() {
  std::error_code error;
  fs::current_path(previous_, error);
  fs::remove_all(path_, error);
}

std::optional<std::string> readFile(const fs::path& path) {
  if (!fs::is_regular_file(path)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

int occurrences(const std::string& text, const std::string& part) {
  int count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

LinkState StartupDesktop::linkState() const {
  return {serialLink.isOpen(), serialLink.portIndex, nowMs_()};
}

int StartupDesktop::runPortSelect(PortSelectDialog& dialog) {
  portDialogs.push_back(linkState());
  return MemoryDesktop::runPortSelect(dialog);
}

int StartupDesktop::runExplorer(ExplorerDialog&) {
  mainWindows.push_back(linkState());
  return platform::IDCANCEL;
}

}  // namespace startup_test
