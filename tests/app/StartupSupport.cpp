#include "StartupSupport.h"
#include "link/SerialLink.h"

#include <fstream>
#include <iterator>

namespace startup_test {

namespace fs = std::filesystem;

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

LinkState StartupDesktop::linkState() const { return {serialLink.isOpen(), serialLink.portIndex, nowMs_()}; }

int StartupDesktop::runPortSelect(PortSelectDialog& dialog) {
  portDialogs.push_back(linkState());
  return MemoryDesktop::runPortSelect(dialog);
}

int StartupDesktop::runExplorer(ExplorerDialog&) {
  mainWindows.push_back(linkState());
  return platform::IDCANCEL;
}

}  // namespace startup_test
