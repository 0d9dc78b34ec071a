// The command transaction as the window runs it: each line drained before and after, one
// resend after Retry, the error codes' boxes and follow-ups, the communication dialogs, and
// the completion waits of copy, delete and format, during which the windows repaint.
#include <algorithm>
#include <utility>

#include "link/SerialLink.h"
#include "platform/WaitCursor.h"
#include "ui/CommDialogs.h"
#include "protocol/Reply.h"
#include "ui/ExplorerDialog.h"

using reply::ErrorCode;
using reply::FollowUp;
using reply::Reply;
using reply::ReplyClass;
using reply::scanReply;

namespace {

// Keeps the main window disabled, so no second command can start, while the window goes on
// repainting during a long wait.
class WindowDisabled {
 public:
  explicit WindowDisabled(platform::Window* window)
      : window_(window != nullptr && window->isEnabled() ? window : nullptr) {
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

bool ExplorerDialog::readReplyByte(std::uint8_t& byte, std::int32_t timeoutMs, std::int64_t deadlineUs) {
  if (!heldReply_.empty()) {
    byte = heldReply_.front();
    heldReply_.pop_front();
    return true;
  }
  // Wait in slices and let the windows repaint between them, until the byte's limit (a format
  // may take minutes: no limit, up to the port's cap) or the whole reply's runs out.
  WindowDisabled disabled(desktop_.mainWindow());
  // Microseconds, each slice rounded up: on a real clock the slices never add up to less than
  // the limit.
  const std::int64_t endUs =
      std::min(serialLink.nowUs() + std::int64_t{timeoutMs > 0 ? timeoutMs : kUnlimitedWaitCapMs} * 1000, deadlineUs);
  for (;;) {
    const std::int64_t leftUs = endUs - serialLink.nowUs();
    if (leftUs <= 0) return false;
    const int value = serialLink.readByte(static_cast<int>(std::min<std::int64_t>((leftUs + 999) / 1000, kRepaintSliceMs)));
    if (value == kReadFailed) return false;
    if (value != kReadTimedOut) {
      byte = static_cast<std::uint8_t>(value);
      return true;
    }
    desktop_.processPendingMessages();
  }
}

ExplorerDialog::WaitEnd ExplorerDialog::awaitReply(std::int32_t timeoutMs, bool strict) {
  WaitCursor cursor(desktop_);
  // Bytes that are no reply may keep coming: the whole reply has a bound besides each byte's.
  const std::int64_t deadlineUs =
      serialLink.nowUs() + (timeoutMs > 0 ? reply::kStatusOverallMs : std::int64_t{kUnlimitedWaitCapMs}) * 1000;
  const Reply reply = scanReply(
      [this, deadlineUs](std::uint8_t& byte, std::int32_t limit) { return readReplyByte(byte, limit, deadlineUs); },
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
  codeShown = &code;
  const int answer = desktop_.messageBox(code.message, code.caption,
                                         code.question ? platform::MB_YESNO | platform::MB_ICONQUESTION
                                                       : platform::MB_OK | platform::MB_ICONEXCLAMATION);
  codeShown = nullptr;
  // The format offered acts on the drive the user acted on: a copy's target, never its source.
  if (code.followUp == FollowUp::OfferFormat && answer == platform::IDYES) {
    formatDrive(operationDrive_.value_or(currentDrive));
  }
  if (code.followUp == FollowUp::RelistCurrentDrive && !listingFromReply_) {
    // The clip list is out of date. A listing that itself draws code 12 does not start yet
    // another one, or a unit that keeps answering 12 would recurse without end.
    listingFromReply_ = true;
    listDrive(currentDrive);
    listingFromReply_ = false;
  }
  // The follow-ups run transactions of their own; the outcome here stays a reported failure.
  failureReported = 1;
  return WaitEnd::Refused;
}

bool ExplorerDialog::waitReply(std::int32_t timeoutMs, bool strict) {
  return awaitReply(timeoutMs, strict) == WaitEnd::Done;
}

bool ExplorerDialog::sendCommand(std::string line) { return transact(std::move(line), false); }

bool ExplorerDialog::transact(std::string line, bool keepCompletion) {
  serialLink.drain();
  heldReply_.clear();
  retrying = 0;
  failureReported = 0;
  // Selecting a drive stops playback on the unit: the next Play must cue again.
  if (selectedByLine(line)) lastCuedClip.clear();
  line += static_cast<char>(reply::kCarriageReturn);
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
    const DriveKind current = currentDrive;
    listDrive(drive);
    currentDrive = current;
  }
  return end == WaitEnd::Done;
}
