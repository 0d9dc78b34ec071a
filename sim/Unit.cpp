// Line assembly, reply timing and faults. Replies go into the output queue stamped with the
// time the unit puts each byte on the line: one after the other, each bytePeriodUs after the
// one before, never before the command that caused them arrived.
#include "sim/Unit.h"

#include <algorithm>

namespace sim {

namespace {

// Longer than any command, so an over-long line is always an unknown one.
constexpr std::size_t kMaxLineBytes = 64;

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Noise is never 'R' or 'E', so it can only be skipped, never taken for a reply.
std::uint8_t noiseByte(std::size_t index) {
  static const std::uint8_t kNoise[] = {'#', 0x00, 'x'};
  return kNoise[index % sizeof kNoise];
}

std::string noise(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes.push_back(static_cast<char>(noiseByte(i)));
  return bytes;
}

}  // namespace

Unit::Unit() : revision_(kDefaultRevision) { revision_.resize(kRevisionBytes, ' '); }

void Unit::setBytePeriodUs(std::int64_t us) {
  std::lock_guard lock(mutex_);
  bytePeriodUs_ = std::max<std::int64_t>(us, 0);
}

void Unit::setCompletionDelayMs(int ms) {
  std::lock_guard lock(mutex_);
  completionDelayMs_ = std::max(ms, 0);
}

void Unit::setRevision(const std::string& text) {
  std::lock_guard lock(mutex_);
  revision_ = text.substr(0, kRevisionBytes);
  revision_.resize(kRevisionBytes, ' ');
}

void Unit::addFault(const FaultRule& rule) {
  std::lock_guard lock(mutex_);
  if (rule.times != 0) faults_.push_back(rule);
}

void Unit::clearFaults() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

void Unit::setLineObserver(std::function<void(const std::string&)> observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

void Unit::receive(std::uint8_t byte, std::int64_t nowUs) {
  std::string line;
  std::function<void(const std::string&)> observer;
  {
    std::lock_guard lock(mutex_);
    if (byte == '\n') return;
    if (byte != '\r') {
      if (line_.size() < kMaxLineBytes) line_.push_back(static_cast<char>(byte));
      return;
    }
    line.swap(line_);
    received_.push_back({line, nowUs, play_.selectedDrive, -1});
    // A stray CR is no command: the unit ignores empty lines.
    if (!line.empty()) dispatch(line, nowUs);
    observer = observer_;
  }
  if (observer) observer(line);
}

std::optional<OutputByte> Unit::peekOutput() const {
  std::lock_guard lock(mutex_);
  if (output_.empty()) return std::nullopt;
  return output_.front();
}

void Unit::popOutput() {
  std::lock_guard lock(mutex_);
  if (!output_.empty()) output_.pop_front();
}

std::vector<std::string> Unit::receivedLines() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> lines;
  for (const ReceivedLine& line : received_) lines.push_back(line.text);
  return lines;
}

std::vector<ReceivedLine> Unit::receivedLog() const {
  std::lock_guard lock(mutex_);
  return received_;
}

void Unit::clearReceivedLines() {
  std::lock_guard lock(mutex_);
  received_.clear();
}

// A first reply replaced by silence or an error code means the unit ignored or refused the
// line: nothing changes and no second reply follows. Nor does one follow a closed line.
void Unit::dispatch(const std::string& line, std::int64_t nowUs) {
  FaultRule* first = armedFault(line, Reply::First);
  const Fault firstFault = first ? first->fault : Fault::None;
  if (firstFault == Fault::Silence || firstFault == Fault::ErrorCode) {
    emit("", first, nowUs);
    consume(first);
    return;
  }
  const Response response = execute(line);
  const std::int64_t doneUs = emit(response.first, first, nowUs);
  consume(first);
  if (!response.second || firstFault == Fault::CloseLine) return;
  FaultRule* second = armedFault(line, Reply::Second);
  const std::size_t queuedBefore = output_.size();
  const std::int64_t completedUs = emit(*response.second, second, doneUs + std::int64_t{completionDelayMs_} * 1000);
  if (output_.size() > queuedBefore) received_.back().completedUs = completedUs;
  consume(second);
}

// Queues a reply as the fault (if any) shapes it; returns when its last byte goes out.
std::int64_t Unit::emit(const std::string& reply, const FaultRule* fault, std::int64_t startUs) {
  const std::size_t queuedBefore = output_.size();
  std::string bytes = reply;
  std::int64_t replyUs = startUs;
  bool closeAfter = false;
  switch (fault ? fault->fault : Fault::None) {
    case Fault::None: break;
    case Fault::Silence: bytes.clear(); break;
    case Fault::NoiseBefore: bytes = noise(fault->count) + reply; break;
    case Fault::RWithoutCr: bytes.assign(1, 'R'); break;  // = "R" makes GCC 12 warn falsely (-Wrestrict)
    case Fault::DoubleR: bytes = "RR\r"; break;
    case Fault::ErrorCode: bytes = "E" + fault->code + "\r"; break;
    case Fault::Truncated: bytes = reply.substr(0, static_cast<std::size_t>(std::max(fault->count, 0))); break;
    case Fault::Surplus: bytes = reply + noise(fault->count); break;
    case Fault::ContinuousNoise: {
      const std::int64_t periodUs = std::int64_t{std::max(fault->count, 1)} * 1000;
      replyUs = startUs + std::int64_t{std::max(fault->durationMs, 0)} * 1000;
      std::size_t index = 0;
      for (std::int64_t at = startUs; at < replyUs; at += periodUs) pushByte(noiseByte(index++), at);
      break;
    }
    case Fault::CloseLine:
      bytes = reply.substr(0, static_cast<std::size_t>(std::max(fault->count, 0)));
      closeAfter = true;
      break;
    case Fault::Delay: replyUs = startUs + std::int64_t{std::max(fault->count, 0)} * 1000; break;
  }
  for (char byte : bytes) pushByte(static_cast<std::uint8_t>(byte), replyUs);
  if (closeAfter) pushByte(kLineClosed, replyUs);
  return output_.size() == queuedBefore ? startUs : tailUs_;
}

void Unit::pushByte(int value, std::int64_t earliestUs) {
  const std::int64_t atUs = std::max(earliestUs, tailUs_) + bytePeriodUs_;
  output_.push_back({atUs, value});
  tailUs_ = atUs;
}

FaultRule* Unit::armedFault(const std::string& line, Reply reply) {
  for (FaultRule& rule : faults_) {
    if (rule.reply == reply && (rule.command.empty() || endsWith(line, rule.command))) return &rule;
  }
  return nullptr;
}

void Unit::consume(FaultRule* rule) {
  if (!rule || rule->times < 0) return;
  if (--rule->times > 0) return;
  faults_.erase(faults_.begin() + (rule - faults_.data()));
}

}  // namespace sim
