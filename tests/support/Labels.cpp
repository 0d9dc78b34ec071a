#include "support/Labels.h"

#include <algorithm>
#include <cstdint>

namespace labels {

namespace {

std::string trimmed(const std::uint8_t* bytes, std::size_t count) {
  std::string text(bytes, bytes + count);
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

}  // namespace

std::vector<std::string> ofUnit(const sim::Drive& drive) {
  std::vector<std::string> names;
  const auto& table = drive.directory;
  for (std::size_t at = 0; at < table.size() && table[at] != sim::kFreeMarker; at += sim::kRecordBytes) {
    const std::uint8_t* record = &table[at];
    if (record[0] == sim::kDeletedMarker || (record[11] & sim::kAttrLongName) == sim::kAttrLongName) continue;
    const std::string name = trimmed(record, 8);
    const std::string extension = trimmed(record + 8, 3);
    names.push_back(extension.empty() ? name : name + "." + extension);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> ofList(const platform::memory::MemoryListView& list) {
  auto names = list.labels();
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace labels
