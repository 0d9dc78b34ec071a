#include "link/SerialPort.h"

#include <chrono>
#include <thread>

void SerialPort::pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

std::string SerialPort::deviceName() const { return {}; }
