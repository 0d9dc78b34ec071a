#include "link/SerialPort.h"

#include <chrono>
#include <thread>

void SerialPort::pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

std::int64_t SerialPort::nowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::string SerialPort::deviceName() const { return {}; }
