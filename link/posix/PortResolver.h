// Where COM1..COM4 lead on a POSIX machine. A "COMn" file or link in the working folder pins
// COMn by hand; otherwise COMn is the n-th of the machine's serial ports in a fixed order:
// the UARTs the kernel found (ttyS devices whose sysfs type is not 0) by number, then the USB
// and ACM adapters by their /dev/serial/by-id names in name order (opened by that name, so a
// replugged adapter is found again under whatever ttyUSB number it gets), then ttyUSB and
// ttyACM devices without a by-id entry, by number.
//
// Every look-up is under root ("/" on the machine; tests pass a fake tree), so nothing here
// depends on the machine it runs on.
#pragma once

#include <filesystem>
#include <vector>

#include "link/SerialPort.h"

namespace ports {

// The machine's serial ports in COM order, each with its device and why it is there (no name).
std::vector<PortLead> machinePorts(const std::filesystem::path& root);

// Where COM<index+1> leads; device empty (and why saying so) when nowhere.
PortLead resolvePort(int index, const std::filesystem::path& root, const std::filesystem::path& workingFolder);

// COM1..COM4, then the machine's ports beyond the fourth.
std::vector<PortLead> portTable(const std::filesystem::path& root, const std::filesystem::path& workingFolder);

}  // namespace ports
