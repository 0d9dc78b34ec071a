// PtyPair: a raw pseudo-terminal for tests of the real POSIX port code, without the simulator.
// The test plays the unit on the master side; the program opens the slave side as "COM<n>"
// from a fresh temporary folder, which is the current directory while the pair lives (the
// previous one is restored and the folder removed afterwards). The pair keeps its own slave
// descriptor open, as the simulator does, so the master survives the program closing the port.
#pragma once

#include <cstddef>
#include <string>

class PtyPair {
 public:
  PtyPair() = default;
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  // Opens the pair (raw on both sides), makes the folder current and links COM1 to the slave.
  // Empty on success, else what failed.
  std::string start();

  const std::string& folder() const { return folder_; }
  const std::string& slavePath() const { return slavePath_; }
  // Gives the slave a new terminal's cooked settings (echo, CR to LF, ...), as a device the
  // program has not yet configured would have.
  bool makeSlaveCooked();

  // To the program: true when every byte went out.
  bool send(const std::string& bytes);
  // From the program: up to count bytes, waiting at most timeoutMs for each next one.
  std::string receive(std::size_t count, int timeoutMs);
  // Closes the master side: the program's device is gone, as when the cable is pulled.
  void closeMaster();

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
  std::string folder_;
  std::string previousFolder_;
};
