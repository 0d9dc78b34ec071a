#include "FaultMatrix.h"

#include <algorithm>

#include "link/SerialLink.h"
#include "protocol/Reply.h"
#include "res/Resources.h"
#include "ui/AboutDialog.h"

namespace faults {

namespace {

using sim::Fault;
using sim::Reply;

constexpr int kStatusLimitMs = ExplorerDialog::kReplyTimeoutMs;
constexpr int kStatusBytes = 2;  // "R" CR

const std::string kCommError = std::to_string(res::IDD_COMM_ERROR);
const std::string kCommFailed = std::to_string(res::IDD_COMM_FAILED);
const std::string kPortSelect = std::to_string(res::IDD_PORT_SELECT);
const std::string kAboutBox = std::to_string(res::IDD_ABOUTBOX);
const std::string kDeleteQuestion = "Delete File(s)";
const std::string kFormatQuestion = "Format Drive";
const std::string kNotValid = "File Not Valid";

// The program's own boxes: no unit answered at start-up; the port went away and did not open again.
const std::string kProgramBox = "Dorvik Explorer";

std::string codeBox(const char* code) { return std::string("Error Code ") + code + " Received"; }

using Shown = std::vector<std::string>;

Shown operator+(Shown first, const Shown& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

// What the user sees when one status transaction meets the fault. Error 12 re-lists the
// current drive (its selection clean unless the fault is on selections); error 20 offers the
// format, which the user accepts the first time (its own transactions clean unless
// formatFaulted).
Shown transaction(Effect effect, bool relistFaulted, bool formatFaulted, bool firstOffer) {
  switch (effect) {
    case Effect::Transparent: return {};
    case Effect::NoReply: return {kCommError, kCommFailed};
    // Retry finds the port gone; a later transaction finds it gone before it sends, and on Retry.
    case Effect::LineGone:
      return firstOffer ? Shown{kCommError, kProgramBox, kCommFailed}
                        : Shown{kProgramBox, kCommError, kProgramBox, kCommFailed};
    case Effect::Code04: return {codeBox("04")};
    case Effect::Code11: return {codeBox("11")};
    case Effect::Code12: return relistFaulted ? Shown{codeBox("12"), codeBox("12")} : Shown{codeBox("12")};
    case Effect::Code20:
      if (!firstOffer) return {codeBox("20")};
      return formatFaulted ? Shown{codeBox("20"), kFormatQuestion, codeBox("20")}
                           : Shown{codeBox("20"), kFormatQuestion};
  }
  return {};
}

Shown oneTransaction(const FaultMode& fault) { return transaction(fault.effect, false, false, true); }

bool statusTransparent(const FaultMode& fault) { return fault.effect == Effect::Transparent; }

// Raw data is taken as it comes: only surplus bytes and a reply in time pass unnoticed.
bool dataTransparent(const FaultMode& fault) {
  return fault.mode == Mode::Surplus || fault.mode == Mode::JustInsideLimit;
}

// Surplus bytes fill the start-up probe's four-byte read at once, where a normal reply leaves
// it waiting out the limit for its last two bytes.
bool probeTransparent(const FaultMode& fault) { return fault.mode == Mode::JustInsideLimit; }

void select(Window& window, DriveKind drive, const std::string& label) {
  auto& list = drive == Internal ? window.internalList : window.removableList;
  list.setFocus();
  const int row = list.findLabel(label);
  if (row >= 0) list.select(row);
}

// The user renames label to newName in the list of drive, if the row is still there.
void rename(ExplorerDialog& dialog, Window& window, const std::string& label, const std::string& newName) {
  select(window, Internal, label);
  dialog.onRenameFile();
  if (!window.internalList.isEditing()) return;
  window.internalList.typeInEditor(newName);
  window.internalList.endEdit(false);
}

// The start-up probe ("0SL", first byte within 2000 ms) and every selection after it: the
// drive probes (lax, 5000 ms) and the listings. The start-up probe fails on any first byte but
// "R" or "E" (then the port dialog, COM1 chosen again); the drive probes take any "R" or "E".
Shown probeShown(const FaultMode& fault) {
  switch (fault.mode) {
    case Mode::Silence:
    case Mode::JustOutsideLimit: return {kProgramBox, kPortSelect, kCommError, kCommError};
    case Mode::NoiseBefore:
    case Mode::ContinuousNoise: return {kProgramBox, kPortSelect};
    case Mode::EndlessNoise: return {kProgramBox, kPortSelect, kCommError, kCommError};  // it outlasts the probe
    case Mode::RWithoutCr:
    case Mode::DoubleR:
    case Mode::Truncated: return {kCommError, kCommFailed, kCommError, kCommFailed};  // the listings' selections
    case Mode::CloseLine: return {kProgramBox, kCommError, kProgramBox, kCommError};  // each drive probe
    default: return {};  // an error reply means a unit is there, and a drive probe declines the listing
  }
}

// Delete, rename, Refresh and format, each selecting the Internal Drive first.
Shown selectionsShown(const FaultMode& fault) {
  const Effect effect = fault.effect;
  return Shown{kDeleteQuestion} + transaction(effect, true, true, true) + transaction(effect, true, true, false) +
         transaction(effect, true, true, false) + Shown{kFormatQuestion} + transaction(effect, true, true, false);
}

// A data reply that lost bytes is a listing cut short, and the user is told; noise or surplus
// still fills every byte. A line closed during it: the directory's own request finds the port
// gone, and the listing ends cut short.
Shown queriesShown(const FaultMode& fault) {
  const bool whole = dataTransparent(fault) || fault.mode == Mode::NoiseBefore || fault.mode == Mode::ContinuousNoise ||
                     fault.mode == Mode::EndlessNoise;
  const Shown cut = whole ? Shown{} : Shown{ExplorerDialog::kIncompleteCaption};
  return fault.mode == Mode::CloseLine ? Shown{kProgramBox} + cut : cut;
}
Shown aboutShown(const FaultMode&) { return {kAboutBox}; }
Shown cueShown(const FaultMode& fault) {
  return oneTransaction(fault) + (fault.effect == Effect::Transparent ? Shown{} : Shown{kNotValid});
}
Shown deleteShown(const FaultMode& fault) { return Shown{kDeleteQuestion} + oneTransaction(fault); }
Shown formatShown(const FaultMode& fault) {
  return Shown{kFormatQuestion} + transaction(fault.effect, false, true, true);
}

void runNothing(ExplorerDialog&, Window&, SteadyUser&) {}

void runSelections(ExplorerDialog& dialog, Window& window, SteadyUser&) {
  select(window, Internal, "VID00012.MPG");
  dialog.onDeleteFile();
  rename(dialog, window, "SND00003.WAV", "SND00004.WAV");
  dialog.onRefresh();
  dialog.onFormatDrive();
}

void runRefresh(ExplorerDialog& dialog, Window& window, SteadyUser&) {
  window.internalList.setFocus();
  dialog.onRefresh();
}

void runPlay(ExplorerDialog& dialog, Window& window, SteadyUser&) {
  select(window, Internal, "VID00012.MPG");
  dialog.onPlay();
}

void runLoop(ExplorerDialog& dialog, Window& window, SteadyUser&) {
  select(window, Internal, "VID00012.MPG");
  window.loopClipCheck.setCheck(true);
  dialog.onLoopClip();
  dialog.onPlay();
}

void runStill(ExplorerDialog& dialog, Window& window, SteadyUser&) {
  window.internalList.setFocus();
  dialog.onStill();
}

void runCopy(ExplorerDialog& dialog, Window& window, SteadyUser&) {
  select(window, Internal, "VID00012.MPG");
  dialog.onCopyToRemovable();
}

void runDelete(ExplorerDialog& dialog, Window& window, SteadyUser&) {
  select(window, Internal, "VID00012.MPG");
  dialog.onDeleteFile();
}

void runFormat(ExplorerDialog& dialog, Window& window, SteadyUser&) {
  window.internalList.setFocus();
  dialog.onFormatDrive();
}

void runRename(ExplorerDialog& dialog, Window& window, SteadyUser&) {
  rename(dialog, window, "VID00012.MPG", "VID00013.MPG");
}

void runRevision(ExplorerDialog& dialog, Window&, SteadyUser& user) {
  user.inAboutBox([&user](AboutDialog& box) { box.onGetFirmwareRevision(user); });
  dialog.onAbout();
}

// What the user sees when only the reply that ends a copy, delete or format meets the fault.
// Silence: the cap, Retry waits once more, "Communications Failed!", then the drive is listed
// again. A reply late by more than the cap is taken by the wait after Retry.
Shown completionOnly(const FaultMode& fault) {
  switch (fault.mode) {
    case Mode::JustOutsideLimit: return {kCommError};
    case Mode::EndlessNoise: return {kCommError, kCommFailed, kCommError, kCommFailed};  // and the relisting's select
    case Mode::CloseLine:  // then the relisting's select finds the port gone, and so does its Retry
      return {kCommError, kCommFailed, kProgramBox, kCommError, kProgramBox, kCommFailed};
    default: return transaction(fault.effect, false, false, true);
  }
}
Shown copyDoneShown(const FaultMode& fault) { return completionOnly(fault); }
Shown deleteDoneShown(const FaultMode& fault) { return Shown{kDeleteQuestion} + completionOnly(fault); }
// The format that error 20 offers meets the same fault on its own completion, and is not offered again.
Shown formatDoneShown(const FaultMode& fault) {
  return Shown{kFormatQuestion} + completionOnly(fault) +
         (fault.effect == Effect::Code20 ? Shown{codeBox("20")} : Shown{});
}

Target status(const char* command) { return {command, Reply::First, kStatusLimitMs, kStatusBytes}; }
// Copy, delete and format: the reply that ends the operation, whose limit is the cap of a wait
// without a per-byte limit.
Target completion(const char* command) { return {command, Reply::Second, kUnlimitedWaitCapMs, kStatusBytes}; }

}  // namespace

const std::vector<FaultMode> kFaultModes = {
    {"Silence", Mode::Silence, Effect::NoReply},
    {"NoiseBeforeReply", Mode::NoiseBefore, Effect::Transparent},
    {"RWithoutCr", Mode::RWithoutCr, Effect::NoReply},
    {"DoubleR", Mode::DoubleR, Effect::NoReply},
    {"UnknownCode00", Mode::UnknownCode00, Effect::NoReply},
    {"UnknownCode13", Mode::UnknownCode13, Effect::NoReply},
    {"Code04", Mode::Code04, Effect::Code04},
    {"Code11", Mode::Code11, Effect::Code11},
    {"Code12", Mode::Code12, Effect::Code12},
    {"Code20", Mode::Code20, Effect::Code20},
    {"TruncatedData", Mode::Truncated, Effect::NoReply},
    {"SurplusData", Mode::Surplus, Effect::Transparent},
    {"ContinuousNoise", Mode::ContinuousNoise, Effect::Transparent},
    {"EndlessNoise", Mode::EndlessNoise, Effect::NoReply},
    {"LineClosedMidTransfer", Mode::CloseLine, Effect::LineGone},
    {"JustInsideLimit", Mode::JustInsideLimit, Effect::Transparent},
    {"JustOutsideLimit", Mode::JustOutsideLimit, Effect::NoReply},
};

const std::vector<std::string> kEverything = {"*"};
const std::vector<std::string> kClipActedOn = {"VID00012.MPG"};

const std::vector<Command> kCommands = {
    {"Probe",
     {{"SL", Reply::First, 2000, kStatusBytes, 1}, status("SL")},
     Internal,
     {},
     true,
     runNothing,
     probeShown,
     probeTransparent},
    {"Selections", {status("SL")}, Internal, kEverything, false, runSelections, selectionsShown, statusTransparent},
    {"Queries",
     {{"?R", Reply::First, 2000, 4}, {"?D", Reply::First, 6000, 16352}},
     Internal,
     {},
     false,
     runRefresh,
     queriesShown,
     dataTransparent},
    {"Cue", {status("SE")}, Internal, {}, false, runPlay, cueShown, statusTransparent},
    {"Play", {status("PL")}, Internal, {}, false, runPlay, oneTransaction, statusTransparent},
    {"Loop", {status("LP")}, Internal, {}, false, runLoop, oneTransaction, statusTransparent},
    {"Still", {status("ST")}, Internal, {}, false, runStill, oneTransaction, statusTransparent},
    {"Copy", {status("CR"), completion("CR")}, Removable, {}, false, runCopy, oneTransaction, statusTransparent},
    {"Delete",
     {status("DL"), completion("DL")},
     Internal,
     kClipActedOn,
     false,
     runDelete,
     deleteShown,
     statusTransparent},
    {"Format",
     {status("FO"), completion("FO")},
     Internal,
     kEverything,
     false,
     runFormat,
     formatShown,
     statusTransparent},
    {"CopyDone", {completion("CR")}, Removable, {}, false, runCopy, copyDoneShown, statusTransparent},
    {"DeleteDone", {completion("DL")}, Internal, kClipActedOn, false, runDelete, deleteDoneShown, statusTransparent},
    {"FormatDone", {completion("FO")}, Internal, kEverything, false, runFormat, formatDoneShown, statusTransparent},
    {"Rename", {status("RN")}, Internal, kClipActedOn, false, runRename, oneTransaction, statusTransparent},
    {"Revision", {{"?V", Reply::First, 7000, 10}}, Internal, {}, false, runRevision, aboutShown, dataTransparent},
};

sim::FaultRule ruleFor(const Target& target, const FaultMode& fault, int completionDelayMs) {
  sim::FaultRule rule{.command = target.command, .reply = target.reply, .times = target.times};
  // When the normal reply arrives, counted from the start of the program's wait for it.
  const int normalArrivalMs =
      target.reply == Reply::Second ? completionDelayMs - static_cast<int>(SerialLink::kDrainQuietMs) : 0;
  const auto shape = [&rule](Fault kind, int count = 0) {
    rule.fault = kind;
    rule.count = count;
  };
  const auto code = [&rule](const char* digits) {
    rule.fault = Fault::ErrorCode;
    rule.code = digits;
  };
  switch (fault.mode) {
    case Mode::Silence: shape(Fault::Silence); break;
    case Mode::NoiseBefore: shape(Fault::NoiseBefore, 3); break;
    case Mode::RWithoutCr: shape(Fault::RWithoutCr); break;
    case Mode::DoubleR: shape(Fault::DoubleR); break;
    case Mode::UnknownCode00: code("00"); break;
    case Mode::UnknownCode13: code("13"); break;
    case Mode::Code04: code("04"); break;
    case Mode::Code11: code("11"); break;
    case Mode::Code12: code("12"); break;
    case Mode::Code20: code("20"); break;
    case Mode::Truncated: shape(Fault::Truncated, target.replyBytes / 2); break;
    case Mode::Surplus: shape(Fault::Surplus, 5); break;
    case Mode::ContinuousNoise:
    case Mode::EndlessNoise: {
      // Never a gap as long as a byte's limit; in all, longer than one limit but within the
      // whole reply's bound, or longer than that bound.
      shape(Fault::ContinuousNoise, target.limitMs / 2);
      const int boundMs = target.reply == Reply::Second ? kUnlimitedWaitCapMs : reply::kStatusOverallMs;
      // Endless: past every wait of the scenario, so that no reply ever follows it in time.
      rule.durationMs = fault.mode == Mode::EndlessNoise ? 10 * (target.limitMs + boundMs)
                                                          : std::min(target.limitMs * 3 / 2, boundMs - target.limitMs / 2);
      break;
    }
    case Mode::CloseLine: shape(Fault::CloseLine, target.replyBytes / 2); break;
    case Mode::JustInsideLimit: shape(Fault::Delay, target.limitMs - 1 - normalArrivalMs); break;
    case Mode::JustOutsideLimit: shape(Fault::Delay, target.limitMs + 1 - normalArrivalMs); break;
  }
  return rule;
}

std::int64_t unitDelayMs(const Target& target, const FaultMode& fault, int completionDelayMs) {
  const sim::FaultRule rule = ruleFor(target, fault, completionDelayMs);
  if (rule.fault == Fault::Delay) return rule.count;
  if (rule.fault == Fault::ContinuousNoise) return rule.durationMs;
  return 0;
}

std::string expectedRevision(Mode mode) {
  switch (mode) {
    case Mode::Silence:
    case Mode::JustOutsideLimit: return "         ";
    case Mode::NoiseBefore: return "# xDVX 2.";  // the NUL of the noise shows as a blank
    case Mode::RWithoutCr: return "R        ";
    case Mode::DoubleR: return "RR       ";
    case Mode::UnknownCode00: return "E00      ";
    case Mode::UnknownCode13: return "E13      ";
    case Mode::Code04: return "E04      ";
    case Mode::Code11: return "E11      ";
    case Mode::Code12: return "E12      ";
    case Mode::Code20: return "E20      ";
    case Mode::Truncated:
    case Mode::CloseLine: return "DVX 2    ";
    case Mode::ContinuousNoise: return "# DVX 2.1";  // the NUL of the noise shows as a blank
    case Mode::EndlessNoise: return "# x# x# x";
    case Mode::Surplus:
    case Mode::JustInsideLimit: return "DVX 2.13a";
  }
  return {};
}

bool isDestructive(const std::string& line) {
  const auto endsWith = [&line](const char* tail) { return line.size() >= 2 && line.substr(line.size() - 2) == tail; };
  return endsWith("CI") || endsWith("CR") || endsWith("DL") || endsWith("FO") || endsWith("RN");
}

}  // namespace faults
