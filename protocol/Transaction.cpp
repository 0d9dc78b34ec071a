// The command transaction: one line out, one status reply back. A reply is "R" CR (done) or
// "E", two digits and CR (refused); anything else on the line is skipped. Every time limit
// applies to a single byte, never to a whole reply, and a read that fails (the device is
// gone) ends the wait the way a time-out does, so nothing here can spin.
#include <cstring>
#include <iterator>

#include "app/Globals.h"
#include "protocol/WaitCursor.h"
#include "ui/ExplorerDialog.h"

namespace {

constexpr std::uint8_t kCarriageReturn = 0x0D;

enum class ReplyClass { Success, ErrorReply, TimedOut };

// What the window does once the user has read an error code's message.
enum class FollowUp { None, RelistCurrentDrive, OfferFormat };

struct ErrorCode {
  const char* digits;
  const char* caption;
  const char* message;
  unsigned style;
  FollowUp followUp;
};

constexpr unsigned kWarning = platform::MB_OK | platform::MB_ICONEXCLAMATION;
constexpr unsigned kQuestion = platform::MB_YESNO | platform::MB_ICONQUESTION;

// The codes the unit is known to send; any other code is skipped like noise.
constexpr ErrorCode kErrorCodes[] = {
    {"04", "Error Code 04 Received",
     "This feature is not yet supported\nPlease contact Vantrel Technical Support", kWarning,
     FollowUp::None},
    {"11", "Error Code 11 Received",
     "The selected drive is not present\nPlease insert the drive and choose Refresh", kWarning,
     FollowUp::None},
    {"12", "Error Code 12 Received", "The desired clip is not present\nClick OK to Refresh", kWarning,
     FollowUp::RelistCurrentDrive},
    {"20", "Error Code 20 Received",
     "The selected drive is not formatted,\n would you like to format now?", kQuestion,
     FollowUp::OfferFormat},
};

const ErrorCode* knownCode(const std::uint8_t* digits) {
  for (const auto& code : kErrorCodes) {
    if (std::memcmp(code.digits, digits, 2) == 0) return &code;
  }
  return nullptr;
}

struct Reply {
  ReplyClass kind;
  const ErrorCode* code = nullptr;  // strict error replies only
};

bool readOne(std::uint8_t& byte, std::int32_t timeoutMs) { return serialLink.readBytes(&byte, 1, timeoutMs) != 0; }

// Scans the input until a reply of a known class arrives or a byte does not. Strict reading
// wants the whole reply ("R" CR, or "E", a known code and one more byte, the CR, which is not
// looked at); lax reading takes the first "R" or "E" for the answer.
Reply scanReply(std::int32_t timeoutMs, bool strict) {
  std::uint8_t byte = 0;
  while (readOne(byte, timeoutMs)) {
    if (byte == 'R') {
      if (!strict) return {ReplyClass::Success};
      // The byte after "R" is dropped with it when it is not the CR.
      if (readOne(byte, timeoutMs) && byte == kCarriageReturn) return {ReplyClass::Success};
    } else if (byte == 'E') {
      if (!strict) return {ReplyClass::ErrorReply};
      std::uint8_t rest[3] = {};
      if (serialLink.readBytes(rest, std::size(rest), timeoutMs) == 0) continue;
      if (const ErrorCode* code = knownCode(rest)) return {ReplyClass::ErrorReply, code};
    }
  }
  return {ReplyClass::TimedOut};
}

}  // namespace

bool ExplorerDialog::waitReply(std::int32_t timeoutMs, bool strict) {
  WaitCursor cursor(desktop_);
  const Reply reply = scanReply(timeoutMs, strict);

  if (reply.kind == ReplyClass::TimedOut) {
    if (retrying) {
      commFailedDialog.doModal(desktop_);
      failureReported = 1;
      return false;
    }
    failureReported = commErrorDialog.doModal(desktop_) == platform::IDCANCEL ? 1 : 0;
    return false;
  }

  // A lax wait only asks whether the unit is there; the rest of its reply is of no interest.
  if (!strict) {
    serialLink.drain();
    failureReported = 1;
    return reply.kind == ReplyClass::Success;
  }
  if (reply.kind == ReplyClass::Success) return true;

  const ErrorCode& code = *reply.code;
  const int answer = desktop_.messageBox(code.message, code.caption, code.style);
  if (code.followUp == FollowUp::OfferFormat && answer == platform::IDYES) onFormatDrive();
  if (code.followUp == FollowUp::RelistCurrentDrive && !listingFromReply_) {
    // The clip list is out of date. A listing that itself draws code 12 does not start yet
    // another one, or a unit that keeps answering 12 would recurse without end.
    listingFromReply_ = true;
    listDrive(currentDrive == Internal ? Internal : Removable);
    listingFromReply_ = false;
  }
  // The follow-ups run transactions of their own; the outcome here stays a reported failure.
  failureReported = 1;
  return false;
}

bool ExplorerDialog::sendCommand(std::string line) {
  serialLink.drain();
  retrying = 0;
  failureReported = 0;
  line += static_cast<char>(kCarriageReturn);
  serialLink.sendLine(line);
  if (waitReply(kReplyTimeoutMs, true)) {
    serialLink.drain();
    return true;
  }
  serialLink.drain();
  if (failureReported) return false;

  // The user chose Retry: one more send, and a second silence ends in "Communications Failed!".
  retrying = 1;
  bool ok = false;
  {
    WaitCursor cursor(desktop_);
    serialLink.sendLine(line);
    ok = waitReply(kReplyTimeoutMs, true);
  }
  serialLink.drain();
  return ok;
}
