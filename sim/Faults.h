// The simulator's misbehaviours, each named once here and shared by the simulator and the
// tests. A fault is armed for the next command line(s) that match, so a test can say "the
// second reply of the next copy is silence" or "the next ?D reply stops after 5000 bytes".
//
// A first reply replaced by Silence or ErrorCode means the unit ignored or refused the line:
// the command is not carried out and no second reply follows. Every other fault only shapes
// the bytes of a command that is carried out; after a CloseLine nothing more is sent. Noise
// bytes cycle through '#', 0x00 and 'x', never 'R' or 'E'. A rule is used up by the replies
// it shapes, not by lines that have no such reply.
#pragma once

#include <cstdint>
#include <string>

namespace sim {

enum class Fault {
  None,
  Silence,          // no reply at all
  NoiseBefore,      // `count` bytes of noise (not 'R' or 'E') before the normal reply
  RWithoutCr,       // "R" and then nothing
  DoubleR,          // "R", "R", CR
  ErrorCode,        // "E" + `code` (two digits) + CR instead of the reply, e.g. "00", "13", "11"
  Truncated,        // a data reply (?R, ?D, ?V) stops after `count` bytes
  Surplus,          // `count` extra noise bytes after the normal reply
  ContinuousNoise,  // noise every `count` ms for `durationMs`, then the normal reply
  CloseLine,        // the line closes (device vanishes) after `count` bytes of the reply
  Delay,            // the normal reply, `count` ms later than it would come
};

// Which reply of a command a fault replaces: the first (status or data) or the second
// (completion of copy, delete, format).
enum class Reply { First, Second };

// Every member has a default, so a rule can name only what it needs without warnings:
// {"SL", Fault::Silence} or {.command = "DL", .fault = Fault::ErrorCode, .reply = Reply::Second,
// .code = "12"}.
struct FaultRule {
  std::string command{};  // mnemonic the line ends with ("SL", "SE", "CI", "DL", "FO", "RN", ...)
                          // or a query ("?R", "?D", "?V"); empty: any line
  Fault fault = Fault::None;
  Reply reply = Reply::First;
  std::string code{};  // for ErrorCode
  int count = 0;       // bytes, or the noise period in ms
  int durationMs = 0;  // for ContinuousNoise
  int times = 1;       // how many matching lines it applies to; -1 for ever
};

}  // namespace sim
