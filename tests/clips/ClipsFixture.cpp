#include "ClipsFixture.h"

void ClipsTest::start(const std::string& manifest) {
  seed(manifest);
  ASSERT_TRUE(dialog->listDrive(Internal));
  ASSERT_TRUE(dialog->listDrive(Removable));
  takeLines();
  startMs_ = clock.nowMs();
  boxesAtStart_ = boxes().size();
  dialogsAtStart_ = dialogs().size();
}

void ClipsTest::restartWith(const sim::FaultRule& fault) {
  unit.clearFaults();
  start("");
  unit.addFault(fault);
}

void ClipsTest::selectRow(DriveKind drive, const std::string& label) {
  const int row = list(drive).findLabel(label);
  ASSERT_GE(row, 0) << label;
  list(drive).select(row);
}

std::vector<std::string> ClipsTest::newBoxes() const {
  const auto all = boxes();
  return {all.begin() + static_cast<std::ptrdiff_t>(boxesAtStart_), all.end()};
}

std::vector<int> ClipsTest::newDialogs() const {
  const auto all = dialogs();
  return {all.begin() + static_cast<std::ptrdiff_t>(dialogsAtStart_), all.end()};
}

void ClipsTest::expectRefreshShowsUnit() {
  for (const DriveKind drive : {Internal, Removable}) {
    ASSERT_TRUE(dialog->listDrive(drive));
    EXPECT_EQ(sortedLabels(drive), unitLabels(drive)) << (drive == Internal ? "internal" : "removable");
  }
}

sim::FaultRule errorReply(const std::string& command, const std::string& code, sim::Reply reply) {
  sim::FaultRule rule;
  rule.command = command;
  rule.fault = sim::Fault::ErrorCode;
  rule.reply = reply;
  rule.code = code;
  return rule;
}

sim::FaultRule silence(const std::string& command, sim::Reply reply) {
  sim::FaultRule rule;
  rule.command = command;
  rule.fault = sim::Fault::Silence;
  rule.reply = reply;
  return rule;
}
