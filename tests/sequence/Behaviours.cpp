#include "Behaviours.h"

#include "link/SerialPort.h"
#include "protocol/Reply.h"
#include "sim/Unit.h"

namespace sequence {

namespace {

using sim::Fault;

constexpr int kStatusLimitMs = 5000;
constexpr int kStatusBytes = 2;
constexpr int kMarginMs = 1000;

bool endsWith(const std::string& line, const char* tail) { return line.ends_with(tail); }

// How far into its reply a line may be cut: a directory's records are few, so half its cuts
// fall among the first 32 records, where they cut a record in two.
int replyBytes(const std::string& line, Random& random) {
  if (line == "?R") return 4;
  if (line == "?D")
    return random.chance(50) ? 32 * static_cast<int>(sim::kRecordBytes) : static_cast<int>(sim::kDirectoryBytes);
  if (line == "?V") return static_cast<int>(sim::kRevisionBytes);
  return kStatusBytes;
}

// Lines the unit may refuse for an unformatted drive: the clip commands.
bool mayDrawCode20(const std::string& line) {
  return endsWith(line, "SE") || endsWith(line, "CI") || endsWith(line, "CR") || endsWith(line, "DL") ||
         endsWith(line, "RN");
}

bool isKnownCode(const std::string& code) { return code == "04" || code == "11" || code == "12" || code == "20"; }

sim::FaultRule drawFault(const std::string& line, sim::Reply reply, int limitMs, Random& random) {
  sim::FaultRule rule{.command = line, .reply = reply};
  const auto shape = [&rule](Fault fault, int count) {
    rule.fault = fault;
    rule.count = count;
  };
  const auto cutAt = [&] { return random.below(reply == sim::Reply::First ? replyBytes(line, random) : kStatusBytes); };
  // A listing takes 17 s, long enough for a cable to be pulled: its reply is often cut.
  if (line == "?D" && random.chance(30)) {
    const int at = cutAt();
    shape(random.chance(80) ? Fault::Truncated : Fault::CloseLine, at);
    return rule;
  }
  switch (random.below(15)) {
    case 0: shape(Fault::Delay, random.below(limitMs)); break;
    case 1: shape(Fault::Delay, limitMs - 1 - random.below(50)); break;
    case 2: shape(Fault::Delay, limitMs + 1 + random.below(2 * limitMs)); break;
    case 3: shape(Fault::Silence, 0); break;
    case 4: {
      static const char* const kCodes[] = {"04", "11", "12", "20"};
      rule.fault = Fault::ErrorCode;
      rule.code = random.pick(kCodes);
      if (rule.code == "20" && !mayDrawCode20(line)) rule.code = "12";
      break;
    }
    case 5: {
      static const char* const kUnknown[] = {"00", "13", "99", "2\r"};
      rule.fault = Fault::ErrorCode;
      rule.code = random.pick(kUnknown);
      break;
    }
    case 6: shape(Fault::NoiseBefore, 1 + random.below(5)); break;
    case 7: shape(random.chance(50) ? Fault::RWithoutCr : Fault::DoubleR, 0); break;
    case 8: shape(Fault::Truncated, cutAt()); break;
    case 9: shape(Fault::Surplus, 1 + random.below(8)); break;
    case 10: shape(Fault::CloseLine, cutAt()); break;
    case 11:
      // Noise past the whole reply's bound: the program must give up on it, not wait it out.
      shape(Fault::ContinuousNoise, 1 + random.below(limitMs - 1));
      rule.durationMs = reply::kStatusOverallMs + random.below(2 * limitMs);
      break;
    default:
      // Never a gap as long as the limit, for up to twice the limit in all.
      shape(Fault::ContinuousNoise, 1 + random.below(limitMs - 1));
      rule.durationMs = random.below(2 * limitMs);
      break;
  }
  return rule;
}

// The reply that ends an operation, lost or garbled, while the unit did the work and goes on
// answering: the wait cannot end on that reply.
sim::FaultRule spoiledCompletion(const std::string& line, Random& random) {
  sim::FaultRule rule{.command = line, .reply = sim::Reply::Second};
  switch (random.below(5)) {
    case 0: rule.fault = Fault::Silence; break;
    case 1: rule.fault = Fault::RWithoutCr; break;
    case 2: rule.fault = Fault::DoubleR; break;
    case 3:
      rule.fault = Fault::Truncated;
      rule.count = random.below(kStatusBytes);
      break;
    default:
      rule.fault = Fault::ErrorCode;
      rule.code = "13";
      break;
  }
  return rule;
}

// A fast unit finishes within the drain after its first reply.
int completionDelayMs(Random& random) {
  if (random.chance(35)) return random.below(100);
  return random.chance(80) ? 100 + random.below(2900) : 3000 + random.below(60000);
}

}  // namespace

bool isOperation(const std::string& line) {
  return endsWith(line, "CI") || endsWith(line, "CR") || endsWith(line, "DL") || line == "FO";
}

int replyLimitMs(const std::string& line) {
  if (line == "?R") return 2000;
  if (line == "?D") return 6000;
  if (line == "?V") return 7000;
  return kStatusLimitMs;
}

Behaviour drawBehaviour(const std::string& line, Mood mood, Random& random) {
  Behaviour behaviour;
  behaviour.completionDelayMs = completionDelayMs(random);
  if (mood == Mood::SpoiledCompletion && isOperation(line)) behaviour.second = spoiledCompletion(line, random);
  if (mood != Mood::Faulty) return behaviour;
  if (random.chance(35)) behaviour.first = drawFault(line, sim::Reply::First, replyLimitMs(line), random);
  if (isOperation(line) && random.chance(35))
    behaviour.second = drawFault(line, sim::Reply::Second, kStatusLimitMs, random);
  return behaviour;
}

bool refusesLine(const sim::FaultRule& fault) {
  return fault.fault == Fault::Silence || fault.fault == Fault::ErrorCode;
}

bool onlyCutsShort(const sim::FaultRule& fault) {
  return fault.fault == Fault::Delay || fault.fault == Fault::Truncated || fault.fault == Fault::Silence ||
         fault.fault == Fault::CloseLine;
}

bool arrivesWhole(const std::optional<sim::FaultRule>& fault, int limitMs) {
  if (!fault) return true;
  switch (fault->fault) {
    case Fault::None:
    case Fault::NoiseBefore:
    case Fault::Surplus:
    case Fault::ContinuousNoise: {
      // Up to the reply's own bytes after the noise, with a margin for the drains before it.
      const int boundMs = limitMs >= kUnlimitedWaitCapMs ? kUnlimitedWaitCapMs : reply::kStatusOverallMs;
      return fault->durationMs + kMarginMs < boundMs;
    }
    case Fault::Delay: return fault->count < limitMs;
    case Fault::ErrorCode: return isKnownCode(fault->code);
    default: return false;
  }
}

bool losesData(const sim::FaultRule& fault, int limitMs, std::size_t length) {
  switch (fault.fault) {
    case Fault::Silence:
    case Fault::CloseLine: return true;
    case Fault::Truncated: return static_cast<std::size_t>(fault.count) < length;
    case Fault::Delay: return fault.count >= limitMs;
    case Fault::RWithoutCr: return length > 1;
    case Fault::DoubleR: return length > 3;
    case Fault::ErrorCode: return length > fault.code.size() + 2;
    default: return false;
  }
}

}  // namespace sequence
