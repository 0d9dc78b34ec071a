#include "support/FatTools.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace fat_tools {

namespace {

const std::string kEnvironment = "export PATH=\"$PATH:/usr/sbin:/sbin\" MTOOLS_SKIP_CHECK=1; ";

}  // namespace

bool available() {
  return run("command -v mkfs.fat && command -v mcopy && command -v mdel && command -v mmd && command -v mdir");
}

bool run(const std::string& command) {
  return std::system((kEnvironment + "{ " + command + "; } >/dev/null 2>&1").c_str()) == 0;
}

std::string output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen((kEnvironment + "{ " + command + "; } 2>&1").c_str(), "r")) {
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) text.append(chunk, got);
    pclose(pipe);
  }
  return text;
}

std::vector<MdirEntry> mdirEntries(const std::string& image) {
  std::vector<MdirEntry> entries;
  std::istringstream lines(output("mdir -i '" + image + "' ::"));
  for (std::string line; std::getline(lines, line);) {
    // The headings and totals begin with a blank; an entry with its 8-character name.
    if (line.size() < 14 || line[0] == ' ' || line[8] != ' ' || line[12] != ' ') continue;
    std::string size;
    std::istringstream(line.substr(13)) >> size;
    if (size != "<DIR>" && (size.empty() || size.find_first_not_of("0123456789") != std::string::npos)) continue;
    entries.push_back({line.substr(0, 8), line.substr(9, 3), size});
  }
  return entries;
}

}  // namespace fat_tools
