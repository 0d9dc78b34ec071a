// Replies to a command line, as the unit sends them: "R" CR when done, "E", two digits and
// CR when refused; anything else on the line is skipped. The scan reads one byte at a time
// through a function the caller gives (the serial link, or bytes a drain kept back), so the
// same rules serve every wait. The limit the scan gives applies to each single byte; the
// caller's reader bounds the whole wait as well (kStatusOverallMs), and a read that fails (the
// device is gone) ends the scan the way a time-out does.
// Beside the scan, the table of the error codes the unit is known to send.
#pragma once

#include <cstdint>

namespace reply {

// The limit for each byte of a status reply, and for the whole of it: bytes that are no reply
// may keep coming, but a status reply that has not come this long after its command never will.
constexpr int kStatusTimeoutMs = 5000;
constexpr int kStatusOverallMs = 10000;
constexpr std::uint8_t kCarriageReturn = 0x0D;

enum class ReplyClass { Success, ErrorReply, TimedOut };

// What the window does once the user has read an error code's message.
enum class FollowUp { None, RelistCurrentDrive, OfferFormat };

// A known code: the window's box (a warning, or a Yes/No question), what follows it, and the
// plain words a program without boxes prints.
struct ErrorCode {
  const char* digits;
  const char* caption;
  const char* message;
  bool question;
  FollowUp followUp;
  const char* plainWords;
};

// The codes the unit is known to send, with what the user is shown; nullptr for any other code,
// which is skipped like noise.
const ErrorCode* knownCode(const std::uint8_t* digits);

struct Reply {
  ReplyClass kind;
  const ErrorCode* code = nullptr;  // strict error replies only
};

// Scans the input until a reply of a known class arrives or a byte does not. Strict reading
// wants the whole reply ("R" CR, or "E", a known code and one more byte, the CR, which is not
// looked at); lax reading takes the first "R" or "E" for the answer.
//
// A completion wait (no limit of its own) gives the rest of a reply that has begun the status
// limit, and a reply cut short there ends the wait: a unit that has answered must not hold the
// window for the completion's long cap.
template <typename ReadByte>
Reply scanReply(ReadByte&& readByte, std::int32_t timeoutMs, bool strict) {
  const bool untilDone = timeoutMs <= 0;
  const std::int32_t restMs = untilDone ? kStatusTimeoutMs : timeoutMs;
  std::uint8_t byte = 0;
  while (readByte(byte, timeoutMs)) {
    if (byte == 'R') {
      if (!strict) return {ReplyClass::Success};
      // The byte after "R" is dropped with it when it is not the CR.
      if (!readByte(byte, restMs)) {
        if (untilDone) break;
      } else if (byte == kCarriageReturn) {
        return {ReplyClass::Success};
      }
    } else if (byte == 'E') {
      if (!strict) return {ReplyClass::ErrorReply};
      std::uint8_t rest[3] = {};
      if (!readByte(rest[0], restMs) || !readByte(rest[1], restMs) || !readByte(rest[2], restMs)) {
        if (untilDone) break;
        continue;
      }
      if (const ErrorCode* code = knownCode(rest)) return {ReplyClass::ErrorReply, code};
    }
  }
  return {ReplyClass::TimedOut};
}

}  // namespace reply
