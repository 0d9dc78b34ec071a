// The ports Windows knows: the registry's SERIALCOMM map (device and COM name of every present
// port), with the friendly names Device Manager shows, read through SetupAPI.
#include "link/SerialPort.h"  // before <windows.h>, which defines the parity names as macros

#include <windows.h>
// clang-format off
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
// clang-format on

#include <algorithm>
#include <map>
#include <string>

namespace {

constexpr int kComPorts = 4;

std::string registryText(HKEY key, const char* name) {
  char text[256] = {};
  DWORD size = sizeof text - 1;
  DWORD type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return "";
  }
  return text;
}

// COM name -> friendly name ("USB Serial Port (COM5)") of every present port device.
std::map<std::string, std::string> friendlyNames() {
  std::map<std::string, std::string> names;
  const HDEVINFO devices = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
  if (devices == INVALID_HANDLE_VALUE) return names;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
    const HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) continue;
    const std::string com = registryText(key, "PortName");
    RegCloseKey(key);
    char friendly[256] = {};
    if (!com.empty() &&
        SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_FRIENDLYNAME, nullptr,
                                          reinterpret_cast<BYTE*>(friendly), sizeof friendly - 1, nullptr)) {
      names[com] = friendly;
    }
  }
  SetupDiDestroyDeviceInfoList(devices);
  return names;
}

// COM number of "COM12": 12; 0 when the name has another shape.
int comNumber(const std::string& name) {
  if (name.size() < 4 || name.compare(0, 3, "COM") != 0) return 0;
  const std::string digits = name.substr(3);
  if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return c >= '0' && c <= '9'; })) return 0;
  return digits.size() > 3 ? 0 : std::stoi(digits);
}

}  // namespace

std::vector<PortLead> listPorts() {
  std::map<int, PortLead> present;  // by COM number
  HKEY map = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) == ERROR_SUCCESS) {
    const auto friendly = friendlyNames();
    char device[256];
    for (DWORD i = 0;; ++i) {
      DWORD size = sizeof device;
      if (RegEnumValueA(map, i, device, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      const std::string com = registryText(map, device);
      const int number = comNumber(com);
      if (number == 0) continue;
      const auto name = friendly.find(com);
      present[number] = {com, com, name == friendly.end() ? std::string(device) : name->second};
    }
    RegCloseKey(map);
  }
  std::vector<PortLead> ports;
  for (int number = 1; number <= kComPorts; ++number) {
    const auto found = present.find(number);
    const std::string com = "COM" + std::to_string(number);
    ports.push_back(found != present.end() ? found->second
                                           : PortLead{com, "", "nothing: no such port on this machine"});
  }
  for (const auto& [number, lead] : present) {
    if (number > kComPorts) ports.push_back({"", lead.device, lead.why});
  }
  return ports;
}
