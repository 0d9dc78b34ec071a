// Replay: a wire trace (link/WireTrace.h) played back as the unit that was traced. The lines
// the program sent are cut at each CR; what the unit sent after a line, until the next one,
// is that line's answer, with its bursts at their recorded distances from the line (or all at
// once when fast).
//
// The n-th line received must equal the trace's n-th line, byte for byte: then its answer
// follows. Any other line is refused: nothing is sent, the refusal is told, and the replay
// stays where it was, so it never acts as a unit that agreed to something it was not asked.
// A line after the trace's last is refused the same way. Opens, closes and losses in the
// trace are not acted out; received bytes before the first line are sent at once.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sim/Responder.h"

namespace sim {

class Replay : public Responder {
 public:
  // Reads trace text; nullopt with what is wrong in *problem (the line number first) when the
  // text is not a whole trace of the format version written today.
  static std::unique_ptr<Replay> parse(const std::string& text, std::string* problem);

  void setFast(bool fast);
  // Called with each refusal in words, outside the lock, on the receiving thread.
  void setRefusalObserver(std::function<void(const std::string&)> observer);

  void receive(std::uint8_t byte, std::int64_t nowUs) override;
  std::optional<OutputByte> peekOutput() const override;
  void popOutput() override;

  std::size_t linesAnswered() const;
  std::size_t lineCount() const { return exchanges_.size(); }  // the trace's lines (fixed once read)
  std::vector<std::string> refusals() const;

 private:
  struct Burst {
    std::int64_t afterMs;  // from the line's end in the trace
    std::string bytes;
  };
  struct Exchange {
    std::string line;  // with its CR
    int traceLine;     // where the line ends in the trace file
    std::vector<Burst> answer;
  };
  Replay() = default;
  bool read(const std::string& text, std::string* problem);
  void queue(const std::vector<Burst>& bursts, std::int64_t fromUs);
  std::string refusal(const std::string& line) const;

  mutable std::mutex mutex_;
  std::vector<Burst> preamble_;
  std::vector<Exchange> exchanges_;
  std::size_t next_ = 0;
  bool fast_ = false;
  std::string line_;
  bool lineTooLong_ = false;
  std::deque<OutputByte> output_;
  std::vector<std::string> refusals_;
  std::function<void(const std::string&)> observer_;
};

}  // namespace sim
