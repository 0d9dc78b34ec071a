// Each fault, armed per command and per reply, as the program reads it through the port.
#include <gtest/gtest.h>

#include "PortTesting.h"

namespace {

using sim::Fault;
using sim::FaultRule;
using sim::Reply;
using simtest::kMs;
using simtest::visible;

struct FaultCase {
  const char* title;
  FaultRule rule;
  const char* line;
  std::string bytes;        // everything that arrives, both replies
  std::int64_t lastByteUs;  // when the last byte arrives
  int end;                  // how the reading ends
};

const std::string kCapacity("\0\x01\x86\xA0", 4);

const std::vector<FaultCase> kFaults = {
    {"no fault", {}, "0SL", "R\r", 0, kReadTimedOut},
    {"silence", {"SL", Fault::Silence}, "0SL", "", -1, kReadTimedOut},
    {"noise before",
     {"SL", Fault::NoiseBefore, Reply::First, "", 3},
     "0SL",
     std::string("#\0xR\r", 5),
     0,
     kReadTimedOut},
    {"R without CR", {"SL", Fault::RWithoutCr}, "0SL", "R", 0, kReadTimedOut},
    {"R R CR", {"SL", Fault::DoubleR}, "0SL", "RR\r", 0, kReadTimedOut},
    {"unknown error code", {"SL", Fault::ErrorCode, Reply::First, "13"}, "0SL", "E13\r", 0, kReadTimedOut},
    {"error code 00", {"", Fault::ErrorCode, Reply::First, "00"}, "?V", "E00\r", 0, kReadTimedOut},
    {"truncated data", {"?R", Fault::Truncated, Reply::First, "", 2}, "?R", kCapacity.substr(0, 2), 0, kReadTimedOut},
    {"surplus data",
     {"?R", Fault::Surplus, Reply::First, "", 2},
     "?R",
     kCapacity + std::string("#\0", 2),
     0,
     kReadTimedOut},
    {"continuous noise",
     {"SL", Fault::ContinuousNoise, Reply::First, "", 50, 1000},
     "0SL",
     std::string("#\0x#\0x#\0x#\0x#\0x#\0x#\0", 20) + "R\r",
     1000 * kMs,
     kReadTimedOut},
    {"line closed mid-reply", {"?V", Fault::CloseLine, Reply::First, "", 4}, "?V", "DVX ", 0, kReadFailed},
    {"line closed before the second reply",
     {"CI", Fault::CloseLine, Reply::First, "", 2},
     "VID00012MPGCI",
     "R\r",
     0,
     kReadFailed},
    {"line closed in the second reply",
     {"CI", Fault::CloseLine, Reply::Second, "", 1},
     "VID00012MPGCI",
     "R\rR",
     sim::kDefaultCompletionDelayMs* kMs,
     kReadFailed},
    {"second reply replaced",
     {"DL", Fault::ErrorCode, Reply::Second, "12"},
     "VID00001MPGDL",
     "R\rE12\r",
     sim::kDefaultCompletionDelayMs* kMs,
     kReadTimedOut},
    {"second reply silent", {"DL", Fault::Silence, Reply::Second}, "VID00001MPGDL", "R\r", 0, kReadTimedOut},
    {"second reply with noise",
     {"CI", Fault::NoiseBefore, Reply::Second, "", 1},
     "VID00012MPGCI",
     std::string("R\r#R\r"),
     sim::kDefaultCompletionDelayMs* kMs,
     kReadTimedOut},
    {"fault for another command", {"SE", Fault::Silence}, "0SL", "R\r", 0, kReadTimedOut},
    {"delayed reply", {"SL", Fault::Delay, Reply::First, "", 4999}, "0SL", "R\r", 4999 * kMs, kReadTimedOut},
    {"delayed second reply",
     {"DL", Fault::Delay, Reply::Second, "", 1000},
     "VID00001MPGDL",
     "R\rR\r",
     (sim::kDefaultCompletionDelayMs + 1000) * kMs,
     kReadTimedOut},
};

class UnitFault : public ::testing::Test {
 protected:
  simtest::Rig rig;
  sim::Unit& unit = rig.unit;
  void send(const std::string& line) { rig.send(line); }
  simtest::Received collect(int limitMs) { return rig.collect(limitMs); }
};

TEST(UnitFaults, EachFaultShapesTheReply) {
  for (const FaultCase& c : kFaults) {
    simtest::Rig rig;
    rig.unit.addFault(c.rule);
    rig.send(c.line);
    const auto got = rig.collect(5000);
    EXPECT_EQ(visible(got.bytes), visible(c.bytes)) << c.title;
    EXPECT_EQ(got.end, c.end) << c.title;
    if (!got.atUs.empty()) {
      EXPECT_EQ(got.atUs.back(), c.lastByteUs) << c.title;
    }
  }
}

TEST_F(UnitFault, ContinuousNoiseComesAtItsPeriod) {
  unit.addFault({"SL", Fault::ContinuousNoise, Reply::First, "", 250, 1000});
  send("0SL");
  const auto got = collect(5000);
  const std::vector<std::int64_t> expected = {0, 250 * kMs, 500 * kMs, 750 * kMs, 1000 * kMs, 1000 * kMs};
  EXPECT_EQ(got.atUs, expected);
}

TEST_F(UnitFault, ARefusedOrIgnoredLineChangesNothing) {
  unit.addFault({"DL", Fault::ErrorCode, Reply::First, "12"});
  unit.addFault({"CI", Fault::Silence});
  send("VID00001MPGDL");
  EXPECT_EQ(collect(5000).bytes, "E12\r");
  send("VID00012MPGCI");
  EXPECT_EQ(collect(5000).bytes, "") << "no second reply either";
  EXPECT_EQ(unit.drive(Internal).find("VID00001MPG"), 0);
  EXPECT_EQ(unit.drive(Internal).find("VID00012MPG"), -1);
}

TEST_F(UnitFault, AShapedFirstReplyStillCarriesTheCommandOut) {
  unit.addFault({"DL", Fault::RWithoutCr});
  send("VID00001MPGDL");
  EXPECT_EQ(collect(5000).bytes, "RR\r");
  EXPECT_EQ(unit.drive(Internal).find("VID00001MPG"), -1);
}

TEST_F(UnitFault, NothingIsQueuedBehindAClosedLine) {
  unit.addFault({"CI", Fault::CloseLine, Reply::First, "", 2});
  send("VID00012MPGCI");
  EXPECT_EQ(collect(5000).end, kReadFailed);
  EXPECT_FALSE(unit.peekOutput().has_value()) << "no second reply waits for the next connection";
  EXPECT_GE(unit.drive(Internal).find("VID00012MPG"), 0) << "the unit copied before the cable went";
}

TEST_F(UnitFault, AppliesToTimesMatchingRepliesThenStops) {
  unit.addFault({"SL", Fault::Silence, Reply::First, "", 0, 0, 2});
  for (const char* expected : {"", "", "R\r", "R\r"}) {
    send("1SL");
    EXPECT_EQ(collect(5000).bytes, expected);
  }
  unit.addFault({"", Fault::RWithoutCr, Reply::First, "", 0, 0, -1});
  for (int i = 0; i < 3; ++i) {
    send("?V");
    EXPECT_EQ(collect(5000).bytes, "R");
  }
  unit.clearFaults();
  send("0SL");
  EXPECT_EQ(collect(5000).bytes, "R\r");
}

TEST_F(UnitFault, ASecondReplyFaultWaitsForACommandThatHasOne) {
  unit.addFault({"DL", Fault::Silence, Reply::Second});
  send("VID00099MPGDL");
  EXPECT_EQ(collect(5000).bytes, "E12\r");
  send("VID00001MPGDL");
  EXPECT_EQ(collect(5000).bytes, "R\r");
  send("VID00012MPGCI");
  EXPECT_EQ(collect(5000).bytes, "R\rR\r") << "the fault was used up";
}

}  // namespace
