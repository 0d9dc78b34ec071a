// The command transaction on the virtual clock: what a command's reply makes of it, which
// box or dialog the user sees and when, how often the line goes out, and the drains around it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ProtocolFixture.h"
#include "link/SerialLink.h"

namespace {

using platform::IDCANCEL;
using platform::IDNO;
using platform::IDOK;
using platform::IDYES;
using platform::memory::Shown;
using sim::Fault;

constexpr unsigned kWarningStyle = platform::MB_OK | platform::MB_ICONEXCLAMATION;
constexpr unsigned kQuestionStyle = platform::MB_YESNO | platform::MB_ICONQUESTION;
// A drain ends after 100 ms of silence: two go before each line, one after its reply.
constexpr std::int64_t kDrainMs = 100;
constexpr std::int64_t kBeforeLineMs = 2 * kDrainMs;
constexpr std::int64_t kAfterReplyMs = kDrainMs;
constexpr std::int64_t kLimitMs = 5000;

class TransactionTest : public ProtocolFixture {
 protected:
  std::vector<std::string> sentLines() const {
    std::vector<std::string> result;
    for (const auto& line : lines) result.push_back(line.line);
    return result;
  }
  std::vector<std::int64_t> dialogTimes() const {
    std::vector<std::int64_t> result;
    for (const auto& shown : desktop.shownOf(Shown::Dialog)) result.push_back(shown.atMs);
    return result;
  }
};

TEST_F(TransactionTest, DoneReplySucceedsQuietly) {
  EXPECT_TRUE(dialog->sendCommand("0SL"));

  std::string wire;
  for (const auto& sent : port->sent()) wire += static_cast<char>(sent.value);
  EXPECT_EQ(wire, "0SL\r");
  EXPECT_TRUE(boxes().empty());
  EXPECT_TRUE(dialogs().empty());
  EXPECT_EQ(dialog->failureReported, 0);
  EXPECT_EQ(dialog->retrying, 0);
}

TEST_F(TransactionTest, LineGoesOutAfterTwoDrainsAndOneDrainFollowsTheReply) {
  clock.advanceUs(1'000'000);
  const std::int64_t startMs = clock.nowMs();
  ASSERT_TRUE(dialog->sendCommand("0SL"));
  EXPECT_EQ(sentAtMs("0SL") - startMs, kBeforeLineMs);
  EXPECT_EQ(clock.nowMs() - sentAtMs("0SL"), kAfterReplyMs);
}

TEST_F(TransactionTest, StaleInputIsNotTakenForTheReply) {
  // An unread "R" CR from an earlier exchange waits on the line.
  serialLink.sendLine("0SL\r");
  addFault("1SL", Fault::Silence);
  desktop.answer(IDCANCEL);

  EXPECT_FALSE(dialog->sendCommand("1SL"));
  EXPECT_EQ(dialogs(), std::vector<int>{144});
}

TEST_F(TransactionTest, SurplusAfterTheReplyIsDrained) {
  addFault("0SL", Fault::Surplus, 3);
  EXPECT_TRUE(dialog->sendCommand("0SL"));
  EXPECT_FALSE(unit.peekOutput().has_value());
}

TEST_F(TransactionTest, NoiseBeforeTheReplyIsSkipped) {
  addFault("0SL", Fault::NoiseBefore, 2);
  EXPECT_TRUE(dialog->sendCommand("0SL"));
  EXPECT_TRUE(dialogs().empty());
}

TEST_F(TransactionTest, RRCarriageReturnDropsTheSecondRAndTimesOut) {
  addFault("0SL", Fault::DoubleR);
  desktop.answer(IDCANCEL);

  EXPECT_FALSE(dialog->sendCommand("0SL"));
  EXPECT_EQ(dialogs(), std::vector<int>{144});
  EXPECT_EQ(dialogTimes(), std::vector<std::int64_t>{sentAtMs("0SL") + kLimitMs});
  EXPECT_EQ(sentLines(), std::vector<std::string>{"0SL"});
}

TEST_F(TransactionTest, RWithoutCarriageReturnCostsTwoLimits) {
  addFault("0SL", Fault::RWithoutCr);
  desktop.answer(IDCANCEL);

  EXPECT_FALSE(dialog->sendCommand("0SL"));
  EXPECT_EQ(dialogTimes(), std::vector<std::int64_t>{sentAtMs("0SL") + 2 * kLimitMs});
}

// Bytes that are no reply, each well within its limit, cannot hold the program: a status
// reply has its bound, 10 s after the command, and the windows repaint meanwhile.
TEST_F(TransactionTest, EndlessNoiseTimesOutTenSecondsAfterTheCommand) {
  unit.addFault({.command = "SL", .fault = Fault::ContinuousNoise, .count = 1000, .durationMs = 600000});
  desktop.answer(IDCANCEL);
  const int pumpsBefore = desktop.pumps();

  EXPECT_FALSE(dialog->sendCommand("0SL"));
  EXPECT_EQ(dialogTimes(), std::vector<std::int64_t>{sentAtMs("0SL") + 10000});
  EXPECT_GE(desktop.pumps() - pumpsBefore, 10000 / ExplorerDialog::kRepaintSliceMs - 10);
  EXPECT_TRUE(window->window.isEnabled());
}

TEST_F(TransactionTest, UnknownErrorCodesAreSkippedUntilTheTimeOut) {
  for (const char* code : {"00", "13"}) {
    SCOPED_TRACE(code);
    lines.clear();
    const std::size_t shownBefore = desktop.shownOf(Shown::Dialog).size();
    addErrorCode("0SL", code);
    desktop.answer(IDCANCEL);

    EXPECT_FALSE(dialog->sendCommand("0SL"));
    const auto shown = desktop.shownOf(Shown::Dialog);
    ASSERT_EQ(shown.size(), shownBefore + 1);
    EXPECT_EQ(shown.back().id, 144);
    EXPECT_EQ(shown.back().atMs, sentAtMs("0SL") + kLimitMs);
  }
  EXPECT_TRUE(boxes().empty());
}

struct ErrorCodeCase {
  const char* code;
  const char* box;  // "caption|text"
  unsigned style;
  int answer;
};

class ErrorCodeTest : public TransactionTest, public ::testing::WithParamInterface<ErrorCodeCase> {};

TEST_P(ErrorCodeTest, ShowsItsBoxAndFailsWithoutResend) {
  const ErrorCodeCase& expected = GetParam();
  // An empty Removable Drive keeps code 12's listing short.
  dialog->currentDrive = Removable;
  addErrorCode("SE", expected.code);
  desktop.answer(expected.answer);

  EXPECT_FALSE(dialog->sendCommand("005SE"));
  EXPECT_EQ(boxes(), std::vector<std::string>{expected.box});
  EXPECT_EQ(desktop.shownOf(Shown::MessageBox).at(0).style, expected.style);
  EXPECT_TRUE(dialogs().empty());
  const auto sent = sentLines();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(sent[0], "005SE");
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "005SE"), 1);
  EXPECT_EQ(dialog->failureReported, 1);
}

INSTANTIATE_TEST_SUITE_P(
    KnownCodes, ErrorCodeTest,
    ::testing::Values(
        ErrorCodeCase{
            "04", "Error Code 04 Received|This feature is not yet supported\nPlease contact Vantrel Technical Support",
            kWarningStyle, IDOK},
        ErrorCodeCase{
            "11",
            "Error Code 11 Received|The selected drive is not present\nPlease insert the drive and choose Refresh",
            kWarningStyle, IDOK},
        ErrorCodeCase{"12", "Error Code 12 Received|The desired clip is not present\nClick OK to Refresh",
                      kWarningStyle, IDOK},
        ErrorCodeCase{"20",
                      "Error Code 20 Received|The selected drive is not formatted,\n would you like to format now?",
                      kQuestionStyle, IDNO}),
    [](const auto& info) { return std::string("Code") + info.param.code; });

TEST_F(TransactionTest, ErrorCode12RelistsTheCurrentDrive) {
  seed("[removable]\nVID00012.MPG 352800\nSND00003.WAV 1000\n");
  dialog->currentDrive = Removable;
  addErrorCode("SE", "12");
  desktop.answer(IDOK);

  EXPECT_FALSE(dialog->sendCommand("012SE"));
  EXPECT_EQ(sentLines(), (std::vector<std::string>{"012SE", "1SL", "?R", "?D"}));
  EXPECT_EQ(labels(Removable), (std::vector<std::string>{"SND00003.WAV", "VID00012.MPG"}));
  EXPECT_EQ(list(Internal).rowCount(), 0);
  EXPECT_EQ(dialog->failureReported, 1);
}

TEST_F(TransactionTest, ErrorCode12DuringItsOwnRelistingStartsNoOtherListing) {
  dialog->currentDrive = Internal;
  addErrorCode("SE", "12");
  addErrorCode("SL", "12", -1);
  desktop.answer(IDOK);
  desktop.answer(IDOK);

  EXPECT_FALSE(dialog->sendCommand("012SE"));
  EXPECT_EQ(sentLines(), (std::vector<std::string>{"012SE", "0SL"}));
  EXPECT_EQ(boxes().size(), 2u);

  // The guard is down again: the next code 12 re-lists as before.
  unit.clearFaults();
  addErrorCode("SE", "12");
  desktop.answer(IDOK);
  lines.clear();
  EXPECT_FALSE(dialog->sendCommand("012SE"));
  EXPECT_EQ(sentLines(), (std::vector<std::string>{"012SE", "0SL", "?R", "?D"}));
}

TEST_F(TransactionTest, ErrorCode20YesLeadsToTheFormatQuestion) {
  dialog->currentDrive = Removable;
  addErrorCode("SE", "20");
  desktop.answer(IDYES);
  desktop.answer(IDNO);  // the format's own question

  EXPECT_FALSE(dialog->sendCommand("001SE"));
  ASSERT_EQ(boxes().size(), 2u);
  EXPECT_EQ(boxes()[1], "Format Drive|All data on this drive will be lost.  Are you sure?");
  EXPECT_EQ(sentLines(), std::vector<std::string>{"001SE"});
}

TEST_F(TransactionTest, RetryAfterSilenceResendsOnceUnderTheWaitCursor) {
  addFault("0SL", Fault::Silence);
  desktop.answer(IDOK);

  EXPECT_TRUE(dialog->sendCommand("0SL"));
  ASSERT_EQ(sentLines(), (std::vector<std::string>{"0SL", "0SL"}));
  EXPECT_EQ(lines[0].cursorDepth, 0);
  EXPECT_EQ(lines[1].cursorDepth, 1);
  EXPECT_EQ(dialogs(), std::vector<int>{144});
  // The drain after the failed wait, then the one inside the resend.
  EXPECT_EQ(lines[1].atMs - dialogTimes()[0], 2 * kDrainMs);
  EXPECT_EQ(dialog->retrying, 1);
}

TEST_F(TransactionTest, RetryThenSilenceAgainShowsCommunicationsFailed) {
  addFault("0SL", Fault::Silence, 0, 2);
  desktop.answer(IDOK);
  desktop.answer(IDOK);  // Continue

  EXPECT_FALSE(dialog->sendCommand("0SL"));
  EXPECT_EQ(sentLines(), (std::vector<std::string>{"0SL", "0SL"}));
  EXPECT_EQ(dialogs(), (std::vector<int>{144, 149}));
  EXPECT_EQ(dialogTimes()[1], lines[1].atMs + kLimitMs);
  EXPECT_EQ(dialog->failureReported, 1);
}

TEST_F(TransactionTest, ErrorCodeOnTheResendIsShownLikeOnTheFirst) {
  addFault("0SL", Fault::Silence);
  desktop.answer(IDOK);
  addErrorCode("0SL", "11");
  desktop.answer(IDOK);

  EXPECT_FALSE(dialog->sendCommand("0SL"));
  EXPECT_EQ(dialogs(), std::vector<int>{144});
  ASSERT_EQ(boxes().size(), 1u);
  EXPECT_EQ(boxes()[0].substr(0, 22), "Error Code 11 Received");
}

// Escape in the dialog ends it with IDCANCEL, as the Cancel button does.
TEST_F(TransactionTest, CancelOrEscapeAfterSilenceSendsNothingMore) {
  addFault("0SL", Fault::Silence, 0, -1);
  desktop.answer(IDCANCEL);

  EXPECT_FALSE(dialog->sendCommand("0SL"));
  EXPECT_EQ(sentLines(), std::vector<std::string>{"0SL"});
  EXPECT_EQ(dialog->failureReported, 1);
  std::vector<Shown::Kind> kinds;
  for (const auto& shown : desktop.shown()) kinds.push_back(shown.kind);
  EXPECT_EQ(kinds, (std::vector<Shown::Kind>{Shown::CursorBegin, Shown::Dialog, Shown::CursorEnd}));
}

TEST_F(TransactionTest, VanishedDeviceEndsEveryWaitAtOnce) {
  addFault("0SL", Fault::CloseLine, 1);  // "R", then the line is gone
  desktop.answer(IDOK);
  desktop.answer(IDOK);
  const std::int64_t startMs = clock.nowMs();

  EXPECT_FALSE(dialog->sendCommand("0SL"));
  EXPECT_EQ(dialogs(), (std::vector<int>{144, 149}));
  EXPECT_EQ(clock.nowMs() - startMs, kBeforeLineMs);
}

TEST_F(TransactionTest, CompletionWaitAfterAResendShowsCommunicationsFailed) {
  addFault("0SL", Fault::Silence);
  desktop.answer(IDOK);
  ASSERT_TRUE(dialog->sendCommand("0SL"));
  desktop.answer(IDOK);

  EXPECT_FALSE(dialog->waitReply(0, true));
  EXPECT_EQ(dialogs(), (std::vector<int>{144, 149}));
}

class LaxWaitTest : public TransactionTest {
 protected:
  void probe(const char* line) { serialLink.sendLine(std::string(line) + "\r"); }
};

TEST_F(LaxWaitTest, ErrorReplyFailsWithoutAMessageAndDrainsTheRest) {
  seed("[internal]\nabsent\n");
  addFault("0SL", Fault::Surplus, 3);
  probe("0SL");

  EXPECT_FALSE(dialog->waitReply(kLimitMs, false));
  EXPECT_TRUE(boxes().empty());
  EXPECT_TRUE(dialogs().empty());
  EXPECT_EQ(dialog->failureReported, 1);
  EXPECT_FALSE(unit.peekOutput().has_value());
}

TEST_F(LaxWaitTest, DoneIsTakenAtTheR) {
  addFault("0SL", Fault::RWithoutCr);
  probe("0SL");
  const std::int64_t sentMs = clock.nowMs();

  EXPECT_TRUE(dialog->waitReply(kLimitMs, false));
  EXPECT_EQ(dialog->failureReported, 1);
  EXPECT_EQ(clock.nowMs() - sentMs, kAfterReplyMs);
}

TEST_F(LaxWaitTest, TimeOutAsksButNeverResends) {
  for (int answer : {IDOK, IDCANCEL}) {
    SCOPED_TRACE(answer);
    lines.clear();
    addFault("0SL", Fault::Silence);
    probe("0SL");
    const std::int64_t sentMs = clock.nowMs();
    desktop.answer(answer);

    EXPECT_FALSE(dialog->waitReply(kLimitMs, false));
    EXPECT_EQ(desktop.shownOf(Shown::Dialog).back().id, 144);
    EXPECT_EQ(desktop.shownOf(Shown::Dialog).back().atMs, sentMs + kLimitMs);
    EXPECT_EQ(dialog->failureReported, answer == IDCANCEL ? 1 : 0);
    EXPECT_EQ(sentLines(), std::vector<std::string>{"0SL"});
  }
}

}  // namespace
