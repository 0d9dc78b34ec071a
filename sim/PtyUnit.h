// PtyUnit: a simulated Unit behind a pseudo-terminal, served by a thread in real time. The
// program (or a test) opens the slave side like any serial device; createLink() puts a
// "COMn" symbolic link to it in a folder, as a user would for a USB adapter.
//
// The unit's reply times are taken on the steady clock in microseconds. When the pty cannot
// be created, slavePath() is empty and nothing is served. A CloseLine fault ends serving and
// closes the master side just as closeLine() does. replug() pulls the line out and plugs a new
// one in at the same link, as a USB adapter comes back under a new device name.
#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "sim/Unit.h"

namespace sim {

class PtyUnit {
 public:
  explicit PtyUnit(Responder& unit);  // creates the pseudo-terminal (raw) and starts serving
  ~PtyUnit();                         // stops serving, closes both sides, removes the link

  const std::string& slavePath() const { return slavePath_; }
  // Creates folder/COM<n> -> slavePath(); false on failure.
  bool createLink(const std::string& folder, int comNumber);
  // Closes the master side now: the program's next read fails (the cable is pulled).
  void closeLine();
  // Closes the terminal (both sides), waits delayMs, then serves a new one and points the
  // link at it. False when the new terminal could not be made.
  bool replug(int delayMs);

 private:
  bool openTerminal();
  void serve();
  void receiveAvailable();
  bool sendDue();
  void awaitDelivery();
  void removeLink();

  Responder& unit_;
  int master_ = -1;
  int slave_ = -1;  // kept open so the master survives the program closing the port
  std::string slavePath_;
  std::string linkPath_;
  std::string linkFolder_;
  int linkNumber_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace sim
