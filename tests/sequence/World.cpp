#include "World.h"

#include "protocol/Reply.h"

#include <algorithm>

#include "Directories.h"
#include "link/SerialLink.h"
#include "protocol/CommandText.h"
#include "support/Globals.h"
#include "ui/ProgressDialog.h"

namespace sequence {

namespace {

constexpr int kPatience = 8;  // boxes and dialogs a user answers freely in one step
// The longest silence a wait for the rest of a status reply may take: the byte after "R" (or
// the three after "E") and, when it does not come, one more as the scan goes on; a drain's or
// a slice's quiet time on top.
constexpr std::int64_t kLongestReplyRestMs = 2 * ExplorerDialog::kReplyTimeoutMs + SerialLink::kDrainQuietMs;
// The longest silence after the unit finished an operation: the reply's "R" to its CR.
constexpr std::int64_t kLongestAfterCompletionMs = ExplorerDialog::kReplyTimeoutMs + SerialLink::kDrainQuietMs;
constexpr std::uint64_t kPortStream = 0x5EED0001;  // each party draws its own numbers from the step's seed
constexpr std::uint64_t kUserStream = 0x5EED0002;

bool isNameCharacter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// At least `least` name characters, then blanks to the end of the part.
bool isPart(const std::string& line, std::size_t at, std::size_t width, std::size_t least) {
  std::size_t used = 0;
  while (used < width && isNameCharacter(line[at + used])) ++used;
  return used >= least &&
         std::all_of(line.begin() + static_cast<std::ptrdiff_t>(at + used),
                     line.begin() + static_cast<std::ptrdiff_t>(at + width), [](char c) { return c == ' '; });
}

// A name the user typed: letters and digits.
bool isField(const std::string& line, std::size_t at) { return isPart(line, at, 8, 1) && isPart(line, at + 8, 3, 0); }

// A name the unit listed goes back as it stands while it is printable.
bool isListedField(const std::string& line, std::size_t at) {
  const auto field = std::string_view(line).substr(at, 11);
  return field.find_first_not_of(' ') != std::string_view::npos &&
         std::all_of(field.begin(), field.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

// Every line the unit knows, and a name only in the form of its 11-byte field.
bool keepsLineRule(const std::string& line) {
  static const char* const kPlain[] = {"0SL", "1SL", "?R", "?D", "?V", "PL", "LP", "ST", "FO"};
  if (std::find(std::begin(kPlain), std::end(kPlain), line) != std::end(kPlain)) return true;
  const auto digits = std::all_of(line.begin(), line.begin() + std::min<std::size_t>(line.size(), 3),
                                  [](char c) { return c >= '0' && c <= '9'; });
  if (line.size() == 5 && digits && line.ends_with("SE")) return true;
  if (line.size() == 13 && isListedField(line, 0))
    return line.ends_with("CI") || line.ends_with("CR") || line.ends_with("DL");
  return line.size() == 24 && isListedField(line, 0) && isField(line, 11) && line.ends_with("RN");
}

}  // namespace

bool WirePort::writeByte(std::uint8_t value) {
  if (value != '\r') {
    raw_.push_back(static_cast<char>(value));
    // The unit ignores LF and keeps no more of a line than the longest it knows.
    if (value != '\n' && unitLine_.size() < 64) unitLine_.push_back(static_cast<char>(value));
    return MemoryPort::writeByte(value);
  }
  const bool watch = endLine();
  const bool written = MemoryPort::writeByte(value);
  quietSinceUs_ = clock_.nowUs();
  if (watch) {
    const auto log = unit_.receivedLog();
    if (!log.empty() && log.back().completedUs >= 0) completionUs_ = log.back().completedUs;
  }
  return written;
}

// Checks the line, then draws the unit's behaviour for it. True when the unit's reply that
// ends the operation is to be watched for: the operation's replies arrive whole, on a line
// free of what earlier lines still had to say.
bool WirePort::endLine() {
  if (!keepsLineRule(raw_)) note("wire: \"" + raw_ + "\" went to the unit");
  lastLine_ = unitLine_;
  awaitingStatus_ = replyLimitMs(lastLine_) == ExplorerDialog::kReplyTimeoutMs;
  lineEndedMs_ = clock_.nowMs();
  raw_.clear();
  unitLine_.clear();
  replyBegun_ = false;
  completionUs_.reset();

  unit_.clearFaults();
  if (lastLine_.empty()) return false;
  Behaviour behaviour = drawBehaviour(lastLine_, mood_, random_);
  // A reply still on its way from an earlier line would pass for the answer to a line the
  // unit ignored or refused, which no reader of the line can tell: such a line is carried out.
  const bool crowded = unit_.peekOutput().has_value();
  metStaleReplies_ = metStaleReplies_ || crowded;
  if (crowded && behaviour.first && refusesLine(*behaviour.first)) behaviour.first.reset();
  const auto cut = [&](std::size_t length) {
    return behaviour.first && losesData(*behaviour.first, replyLimitMs(lastLine_), length);
  };
  if (lastLine_ == "?R") lastListingCut_ = cut(4);
  if (lastLine_ == "?D") {
    lastListingCut_ = lastListingCut_ || cut(sim::kDirectoryBytes);
    listedDrive_ = unit_.playState().selectedDrive;
    directoryGarbled_ = directoryGarbled_ || crowded || (behaviour.first && !onlyCutsShort(*behaviour.first));
  }
  if (behaviour.first) unit_.addFault(*behaviour.first);
  if (behaviour.second) unit_.addFault(*behaviour.second);
  if (behaviour.second && mood_ == Mood::SpoiledCompletion) mood_ = Mood::Healthy;
  unit_.setCompletionDelayMs(behaviour.completionDelayMs);
  return isOperation(lastLine_) && !crowded && arrivesWhole(behaviour.first, replyLimitMs(lastLine_)) &&
         arrivesWhole(behaviour.second, kUnlimitedWaitCapMs);
}

int WirePort::readByte(int timeoutMs) {
  if (clock_.nowMs() - stepStartMs_ > kHangCapMs) {
    note("hang: still reading after a day of virtual time, last line \"" + lastLine_ + "\"");
    return kReadFailed;
  }
  if (!limitFits(timeoutMs)) note("wait: a limit of " + std::to_string(timeoutMs) + " ms after \"" + lastLine_ + "\"");
  const std::int64_t awaitedMs = clock_.nowMs() - lineEndedMs_;
  if (awaitingStatus_ && timeoutMs != SerialLink::kDrainQuietMs && awaitedMs >= reply::kStatusOverallMs) {
    note("wait: the reply to \"" + lastLine_ + "\" still awaited " + std::to_string(awaitedMs) + " ms after it");
  }
  const int value = MemoryPort::readByte(timeoutMs);
  const std::int64_t nowUs = clock_.nowUs();
  if (value >= 0) {
    quietSinceUs_ = nowUs;
    if (value == 'R' || value == 'E') awaitingStatus_ = false;
    replyBegun_ = replyLimitMs(lastLine_) == ExplorerDialog::kReplyTimeoutMs && (value == 'R' || value == 'E');
    return value;
  }
  // A wait in slices is as long as its silence, whatever the limit of each read.
  const std::int64_t silentMs = (nowUs - quietSinceUs_) / 1000;
  if (value == kReadTimedOut && replyBegun_ && silentMs > kLongestReplyRestMs) {
    note("wait: the rest of a reply to \"" + lastLine_ + "\" awaited for " + std::to_string(silentMs) + " ms");
  }
  if (value == kReadTimedOut && completionUs_ &&
      (nowUs - std::max(quietSinceUs_, *completionUs_)) / 1000 > kLongestAfterCompletionMs) {
    note("wait: still waiting " + std::to_string((nowUs - *completionUs_) / 1000) + " ms after the unit finished \"" +
         lastLine_ + "\"");
  }
  return value;
}

bool WirePort::limitFits(int timeoutMs) const {
  if (timeoutMs == SerialLink::kDrainQuietMs) return true;
  if (lastLine_.empty()) return false;
  if (timeoutMs <= 0) return isOperation(lastLine_);
  // Replies are awaited in slices, between which the windows repaint; none is longer than the
  // line's own limit. (How long the slices last in all is judged by the silence they keep.)
  return timeoutMs <= replyLimitMs(lastLine_);
}

void WirePort::startStep(Mood mood, std::uint64_t seed) {
  mood_ = mood;
  random_ = Random(seed ^ kPortStream);
  stepStartMs_ = clock_.nowMs();
  problem_.clear();
  replyBegun_ = false;
  metStaleReplies_ = false;
  listedDrive_.reset();
  directoryGarbled_ = false;
  lastListingCut_ = false;
  completionUs_.reset();
}

void WirePort::userAnswered() {
  replyBegun_ = false;
  awaitingStatus_ = false;
  quietSinceUs_ = clock_.nowUs();
}

void WirePort::note(const std::string& problem) {
  if (problem_.empty()) problem_ = problem;
}

int RandomUser::messageBox(const std::string& text, const std::string& caption, unsigned style) {
  MemoryDesktop::messageBox(text, caption, style);
  port_->userAnswered();
  if ((style & 0xF) != platform::MB_YESNO) return platform::IDOK;
  const bool yes = answerYes(caption == "Delete File(s)" ? 75 : 50);
  if (yes && caption == "Delete File(s)") confirmedDelete_ = true;
  if (yes && caption == "Format Drive") confirmedFormat_ = true;
  return yes ? platform::IDYES : platform::IDNO;
}

// Retry or Cancel in "Communications Error!"; "Communications Failed!" has only Continue.
int RandomUser::runTemplateDialog(int templateId) {
  MemoryDesktop::runTemplateDialog(templateId);
  port_->userAnswered();
  return answerYes(50) ? platform::IDOK : platform::IDCANCEL;
}

void RandomUser::startStep(WirePort& port, std::uint64_t seed) {
  port_ = &port;
  random_ = Random(seed ^ kUserStream);
  asked_ = 0;
  confirmedDelete_ = confirmedFormat_ = false;
}

bool RandomUser::answerYes(int percent) { return ++asked_ <= kPatience && random_.chance(percent); }

World::World(std::uint64_t seed) {
  Random random(seed);
  fillDrive(unit.drive(Internal), random);
  fillDrive(unit.drive(Removable), random);
  auto wirePort = std::make_unique<WirePort>(unit, clock);
  port = wirePort.get();
  serialLink.close();
  serialLink.setPort(std::move(wirePort));
  serialLink.open(0, 9600, 0);
  user.setClock([this] { return clock.nowMs(); });
  progressDialog.attach(&user);
  dialog = std::make_unique<ExplorerDialog>(user);
  window = &user.open(*dialog);
  startStep(Mood::Healthy, seed);
  dialog->onInitDialog();
  window->removableList.setFocus();  // the first tab stop
}

World::~World() { resetGlobals(); }

void World::startStep(Mood mood, std::uint64_t seed) {
  // The user plugs a pulled adapter in again; the window's next command must open it again.
  if (!port->isPresent(0)) port->setPresent(0, true);
  unit.clearReceivedLines();
  port->startStep(mood, seed);
  user.startStep(*port, seed);
}

void World::settle() {
  while (const auto next = unit.peekOutput()) {
    clock.advanceToUs(next->atUs);
    unit.popOutput();
  }
  clock.advanceUs(std::int64_t{SerialLink::kDrainQuietMs} * 1000);
}

platform::memory::MemoryListView& World::list(DriveKind drive) {
  return drive == Internal ? window->internalList : window->removableList;
}

}  // namespace sequence
