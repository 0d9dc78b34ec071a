#include "link/posix/PortResolver.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <string>
#include <system_error>

namespace ports {
namespace {

namespace fs = std::filesystem;

constexpr int kComPorts = 4;

// The number a device name ends with after prefix ("ttyS12" after "ttyS": 12); -1 if it does
// not have that shape.
long numberAfter(const std::string& name, const std::string& prefix) {
  if (!name.starts_with(prefix) || name.size() == prefix.size() || name.size() > prefix.size() + 6) return -1;
  const std::string digits = name.substr(prefix.size());
  if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); })) return -1;
  return std::stol(digits);
}

// The names in folder, sorted; none when it cannot be read.
std::vector<std::string> namesIn(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Device names with one of prefixes, ordered by their number, then by name.
std::vector<std::string> devicesByNumber(const std::vector<std::string>& names,
                                         std::initializer_list<const char*> prefixes) {
  std::vector<std::pair<long, std::string>> found;
  for (const std::string& name : names) {
    for (const char* prefix : prefixes) {
      const long number = numberAfter(name, prefix);
      if (number >= 0) found.emplace_back(number, name);
    }
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> ordered;
  for (auto& entry : found) ordered.push_back(std::move(entry.second));
  return ordered;
}

// A UART the kernel found reports a type other than 0 (unknown) in sysfs; the many ttyS
// devices a kernel makes in advance report 0.
bool isUart(const fs::path& root, const std::string& name) {
  std::ifstream typeFile(root / "sys/class/tty" / name / "type");
  std::string type;
  return std::getline(typeFile, type) && !type.empty() && type != "0";
}

void addUarts(const fs::path& root, std::vector<PortLead>& ports) {
  for (const std::string& name : devicesByNumber(namesIn(root / "sys/class/tty"), {"ttyS"})) {
    if (isUart(root, name)) ports.push_back({"", (root / "dev" / name).string(), "UART " + name});
  }
}

// Adapters by their by-id names; the ttyUSB/ttyACM names they stand for go into taken.
void addNamedAdapters(const fs::path& root, std::vector<PortLead>& ports, std::set<std::string>& taken) {
  const fs::path folder = root / "dev/serial/by-id";
  for (const std::string& name : namesIn(folder)) {
    const fs::path entry = folder / name;
    std::error_code error;
    const fs::path target = fs::read_symlink(entry, error);
    if (!error) taken.insert(target.filename().string());
    std::string why = "adapter " + name;
    if (!fs::exists(entry, error)) why += " (leads nowhere: the adapter is gone)";
    ports.push_back({"", entry.string(), why});
  }
}

void addBareAdapters(const fs::path& root, std::vector<PortLead>& ports, const std::set<std::string>& taken) {
  for (const std::string& name : devicesByNumber(namesIn(root / "dev"), {"ttyUSB", "ttyACM"})) {
    if (taken.count(name) == 0)
      ports.push_back({"", (root / "dev" / name).string(), "adapter " + name + ", no by-id name"});
  }
}

std::string comName(int index) { return "COM" + std::to_string(index + 1); }

}  // namespace

std::vector<PortLead> machinePorts(const fs::path& root) {
  std::vector<PortLead> ports;
  std::set<std::string> taken;
  addUarts(root, ports);
  addNamedAdapters(root, ports, taken);
  addBareAdapters(root, ports, taken);
  return ports;
}

PortLead resolvePort(int index, const fs::path& root, const fs::path& workingFolder) {
  const std::string name = comName(index);
  const fs::path link = workingFolder / name;
  std::error_code error;
  const fs::file_status status = fs::symlink_status(link, error);
  if (!error && fs::exists(status)) {
    if (!fs::is_symlink(status)) return {name, link.string(), name + " in the working folder (not a link)"};
    return {name, link.string(), "link in the working folder to " + fs::read_symlink(link, error).string()};
  }
  std::vector<PortLead> machine = machinePorts(root);
  if (index >= 0 && static_cast<std::size_t>(index) < machine.size()) {
    machine[index].name = name;
    return machine[index];
  }
  return {name, "",
          "nothing: no " + name + " link in the working folder, and " + std::to_string(machine.size()) +
              " serial port(s) on this machine"};
}

std::vector<PortLead> portTable(const fs::path& root, const fs::path& workingFolder) {
  std::vector<PortLead> table;
  for (int index = 0; index < kComPorts; ++index) table.push_back(resolvePort(index, root, workingFolder));
  const std::vector<PortLead> machine = machinePorts(root);
  for (std::size_t i = kComPorts; i < machine.size(); ++i) table.push_back(machine[i]);
  return table;
}

}  // namespace ports

std::vector<PortLead> listPorts() { return ports::portTable("/", "."); }
