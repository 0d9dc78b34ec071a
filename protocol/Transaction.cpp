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
  const std::int32_t restMs = untilDone ? ExplorerDialog::kReplyTimeoutMs : timeoutMs;
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

// Keeps the main window disabled, so no second command can start, while the window goes on
// repainting during a long wait.
class WindowDisabled {
 public:
  explicit WindowDisabled(platform::Window* window) : window_(window != nullptr && window->isEnabled() ? window : nullptr) {
    if (window_) window_->enable(false);
  }
  ~WindowDisabled() {
    if (window_) window_->enable(true);
  }
  WindowDisabled(const WindowDisabled&) = delete;
  WindowDisabled& operator=(const WindowDisabled&) = delete;

 private:
  platform::Window* window_;
};

}  // namespace

bool ExplorerDialog::readReplyByte(std::uint8_t& byte, std::int32_t timeoutMs) {
  if (!heldReply_.empty()) {
    byte = heldReply_.front();
    heldReply_.pop_front();
    return true;
  }
  if (timeoutMs > 0) return serialLink.readBytes(&byte, 1, timeoutMs) != 0;

  // No limit of its own (a format may take minutes): wait in slices and let the windows
  // repaint between them, up to the port's cap of silence.
  WindowDisabled disabled(desktop_.mainWindow());
  for (std::int64_t silentMs = 0; silentMs < kUnlimitedWaitCapMs; silentMs += kCompletionSliceMs) {
    const int value = serialLink.readByte(kCompletionSliceMs);
    if (value == kReadFailed) return false;
    if (value != kReadTimedOut) {
      byte = static_cast<std::uint8_t>(value);
      return true;
    }
    desktop_.processPendingMessages();
  }
  return false;
}

ExplorerDialog::WaitEnd ExplorerDialog::awaitReply(std::int32_t timeoutMs, bool strict) {
  WaitCursor cursor(desktop_);
  const Reply reply = scanReply([this](std::uint8_t& byte, std::int32_t limit) { return readReplyByte(byte, limit); },
                                timeoutMs, strict);

  if (reply.kind == ReplyClass::TimedOut) {
    if (retrying) {
      commFailedDialog.doModal(desktop_);
      failureReported = 1;
    } else {
      failureReported = commErrorDialog.doModal(desktop_) == platform::IDCANCEL ? 1 : 0;
    }
    return WaitEnd::TimedOut;
  }

  // A lax wait only asks whether the unit is there; the rest of its reply is of no interest.
  if (!strict) {
    serialLink.drain();
    failureReported = 1;
    return reply.kind == ReplyClass::Success ? WaitEnd::Done : WaitEnd::Refused;
  }
  if (reply.kind == ReplyClass::Success) return WaitEnd::Done;

  const ErrorCode& code = *reply.code;
  const int answer = desktop_.messageBox(code.message, code.caption, code.style);
  // The format offered acts on the drive the user acted on: a copy's target, never its source.
  if (code.followUp == FollowUp::OfferFormat && answer == platform::IDYES) {
    formatDrive(operationDrive_.value_or(currentDrive == Internal ? Internal : Removable));
  }
  if (code.followUp == FollowUp::RelistCurrentDrive && !listingFromReply_) {
    // The clip list is out of date. A listing that itself draws code 12 does not start yet
    // another one, or a unit that keeps answering 12 would recurse without end.
    listingFromReply_ = true;
    listDrive(currentDrive == Internal ? Internal : Removable);
    listingFromReply_ = false;
  }
  // The follow-ups run transactions of their own; the outcome here stays a reported failure.
  failureReported = 1;
  return WaitEnd::Refused;
}

bool ExplorerDialog::waitReply(std::int32_t timeoutMs, bool strict) { return awaitReply(timeoutMs, strict) == WaitEnd::Done; }

bool ExplorerDialog::sendCommand(std::string line) { return transact(std::move(line), false); }

bool ExplorerDialog::transact(std::string line, bool keepCompletion) {
  serialLink.drain();
  heldReply_.clear();
  retrying = 0;
  failureReported = 0;
  // Selecting a drive stops playback on the unit: the next Play must cue again.
  if (selectedByLine(line)) lastCuedClip.clear();
  line += static_cast<char>(kCarriageReturn);
  serialLink.sendLine(line);
  bool ok = waitReply(kReplyTimeoutMs, true);
  if (!ok && !failureReported) {
    // The user chose Retry: one more send, and a second silence ends in "Communications Failed!".
    serialLink.drain();
    retrying = 1;
    WaitCursor cursor(desktop_);
    serialLink.sendLine(line);
    ok = waitReply(kReplyTimeoutMs, true);
  }
  if (ok && keepCompletion) {
    drainKeepingCompletion();
  } else {
    serialLink.drain();
  }
  return ok;
}

void ExplorerDialog::drainKeepingCompletion() {
  // A unit may finish at once. What arrives in the drain after the first reply is kept, up to
  // a complete reply, for the completion wait to read as if it had come during the wait.
  heldReply_.clear();
  const auto readKept = [this](std::uint8_t& byte, std::int32_t limitMs) {
    if (heldReply_.size() >= SerialLink::kDrainCapBytes || serialLink.readBytes(&byte, 1, limitMs) == 0) return false;
    heldReply_.push_back(byte);
    return true;
  };
  scanReply(readKept, SerialLink::kDrainQuietMs, true);
}

bool ExplorerDialog::runOperation(std::string line, DriveKind drive) {
  const auto outer = operationDrive_;
  operationDrive_ = drive;
  bool done = transact(std::move(line), true);
  // A refused or unanswered command never sends the second reply: no wait for it.
  if (done) done = waitCompletion(drive);
  operationDrive_ = outer;
  return done;
}

bool ExplorerDialog::waitCompletion(DriveKind drive) {
  WaitEnd end = awaitReply(kUntilDoneMs, true);
  if (end == WaitEnd::TimedOut && failureReported == 0) {
    // Retry: the unit may still be at work, so nothing is resent; a second silence ends in
    // "Communications Failed!" as after a resend.
    retrying = 1;
    end = awaitReply(kUntilDoneMs, true);
  }
  heldReply_.clear();
  if (end == WaitEnd::TimedOut) {
    // What the unit did is unknown: show what it holds now, without moving the current drive.
    const std::int32_t current = currentDrive;
    listDrive(drive);
    currentDrive = current;
  }
  return end == WaitEnd::Done;
}
