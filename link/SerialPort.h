// SerialPort: the operating system's serial device, one byte at a time.
//
// Principle of operation: SerialLink drives the device through the same steps the Win32
// serial calls take (open the device, read its line settings, write them back changed, write
// and read single bytes), so that it can report exactly which step failed. Each operating
// system implements this interface in its own file (posix/, win32/), chosen by the build;
// tests use an in-memory implementation wired to the unit simulator (sim/MemoryPort.h).
//
// Every call reports failure through its result and leaves the OS's own error code in
// lastError() and its words in lastErrorText(). Nothing here throws.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Parity codes as the Win32 DCB writes them. <windows.h> defines these names as macros of
// the same values: include it after this header.
enum Parity : std::uint8_t {
  NOPARITY = 0,
  ODDPARITY = 1,
  EVENPARITY = 2,
  MARKPARITY = 3,
  SPACEPARITY = 4,
};

// Stop-bit codes as the DCB writes them (1.5 stop bits, code 1, is never used).
constexpr std::uint8_t ONESTOPBIT = 0;
constexpr std::uint8_t TWOSTOPBITS = 2;

// The part of the device control block that the link changes; everything else the device
// reported at open stays inside the port implementation untouched.
struct LineSettings {
  std::uint32_t baudRate = 0;
  std::uint8_t byteSize = 0;
  std::uint8_t stopBits = ONESTOPBIT;
  Parity parity = NOPARITY;
};

// Result of a single-byte read besides a byte value 0..255.
constexpr int kReadFailed = -1;
constexpr int kReadTimedOut = -2;

// A per-byte limit of 0 means: no per-byte limit, but give up after this much silence, so
// that a unit that never answers cannot hang the program for ever.
constexpr int kUnlimitedWaitCapMs = 30 * 60 * 1000;

class SerialPort {
 public:
  virtual ~SerialPort() = default;

  // Opens the device for COM index 0..3 exclusively (CreateFileA). False: nothing is open.
  virtual bool openDevice(int portIndex) = 0;
  // Reads the device's current line settings (GetCommState). False: the device is still open.
  virtual bool getState(LineSettings& settings) = 0;
  // Applies line settings (SetCommState), raw 8-bit transfer. False: the device is still open.
  virtual bool setState(const LineSettings& settings) = 0;
  // Writes one byte; true when the device took it.
  virtual bool writeByte(std::uint8_t value) = 0;
  // Waits at most timeoutMs for one byte (0: see kUnlimitedWaitCapMs). Returns the byte,
  // kReadTimedOut when none came in time, or kReadFailed when the device failed or vanished
  // (never a busy loop: a vanished device ends the wait at once).
  virtual int readByte(int timeoutMs) = 0;
  // Closes the device; true on success. The port is closed afterwards either way.
  virtual bool closeDevice() = 0;
  // Opens again the device a lost link had for portIndex (an adapter plugged in again).
  virtual bool reopenDevice(int portIndex) { return openDevice(portIndex); }

  // Whether the last failure means the device is gone (unplugged), not merely refusing.
  virtual bool deviceGone() const { return false; }
  // The device COM index portIndex leads to (the one open, once it is), for messages and the
  // wire trace; empty where the name says it all.
  virtual std::string deviceName(int /*portIndex*/) const { return {}; }

  // Waits before a parity change so that the byte before it leaves the line with its own
  // parity (Sleep). In-memory ports advance their virtual clock instead.
  virtual void pause(int milliseconds);
  // The port's clock in microseconds, for a wait that bounds a whole reply besides each byte:
  // the system's steady clock; in-memory ports read their virtual clock.
  virtual std::int64_t nowUs() const;

  virtual std::uint32_t lastError() const = 0;
  virtual std::string lastErrorText() const = 0;
};

// Whether a Win32 error code taken after a failed read or write means the device was removed.
bool isRemovalError(std::uint32_t win32Error);

// Where a port leads, as `dorvik ports` shows it.
struct PortLead {
  std::string name;    // "COM1".."COM4"; empty for a port beyond the fourth
  std::string device;  // what is opened for it; empty when it leads nowhere
  std::string why;     // in plain words: a link here, a UART, an adapter and its name, nothing
};

// COM1..COM4 as this machine resolves them, then the ports no COM number reaches.
std::vector<PortLead> listPorts();

// The operating system's port implementation (posix/ or win32/).
std::unique_ptr<SerialPort> makeSystemPort();
// A port that opens the device at path (/dev/ttyUSB0, \\.\COM12) for any COM index.
std::unique_ptr<SerialPort> makeDevicePort(const std::string& path);

// For a way out where no destructor runs (a signal, a lost display): puts the port the
// process holds open back as it was found (its settings, exclusive mode off) and closes it,
// which releases its lock. Async-signal-safe; nothing happens when no port is open. On
// Windows the handle closes with the process.
void releaseOpenPort();
// SIGINT, SIGTERM, SIGHUP and SIGPIPE end the program with releaseOpenPort() first, exit
// status 128 + the signal.
void releasePortOnExitSignals();
// Opens /dev/null on a standard stream a program was started without, so that the port (or a
// trace) never takes its number: what the program prints would otherwise go to the unit.
void keepStandardStreamsOpen();
