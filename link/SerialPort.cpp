#include "link/SerialPort.h"

#include <chrono>
#include <thread>

void SerialPort::pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

std::int64_t SerialPort::nowUs() const {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool isRemovalError(std::uint32_t win32Error) {
  // ERROR_ACCESS_DENIED, ERROR_BAD_COMMAND, ERROR_GEN_FAILURE, ERROR_OPERATION_ABORTED and
  // ERROR_DEVICE_NOT_CONNECTED: what a USB serial driver reports once its device was pulled out.
  switch (win32Error) {
    case 5:
    case 22:
    case 31:
    case 995:
    case 1167: return true;
    default: return false;
  }
}
