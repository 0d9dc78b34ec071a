// The about box: "?V" answered by ten raw bytes, the first nine shown; time-outs, short,
// long and unprintable replies.
#include <gmock/gmock.h>

#include "UiTest.h"
#include "link/SerialLink.h"
#include "res/Resources.h"
#include "ui/AboutDialog.h"

using platform::memory::Shown;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

const std::string kNineBlanks(9, ' ');

class AboutTest : public UiTest {
 protected:
  // Opens the box, presses "Get Firmware Rev." once and closes it; returns what it showed.
  std::string pressOnce() {
    desktop.inAboutBox([this](AboutDialog& box) { box.onGetFirmwareRevision(desktop); });
    dialog->onAbout();
    return desktop.revisionShown;
  }

  // Virtual milliseconds between the last wait cursor's begin and its end.
  std::int64_t lastWaitMs() const {
    const auto begins = desktop.shownOf(Shown::CursorBegin);
    const auto ends = desktop.shownOf(Shown::CursorEnd);
    return ends.back().atMs - begins.back().atMs;
  }
};

}  // namespace

TEST_F(AboutTest, TenBytesShowAsNine) {
  unit.setRevision("DVX 2.13aZ");
  EXPECT_EQ(pressOnce(), "DVX 2.13a");
  EXPECT_THAT(takeLines(), ElementsAre("?V"));
  EXPECT_THAT(dialogs(), ElementsAre(res::IDD_ABOUTBOX));
  EXPECT_THAT(boxes(), IsEmpty());
}

TEST_F(AboutTest, SecondPressShowsTheNewestAndANewBoxStartsEmpty) {
  std::string first;
  desktop.inAboutBox([&](AboutDialog& box) {
    unit.setRevision("REV 1.00");
    box.onGetFirmwareRevision(desktop);
    first = box.revisionDisplay->text();
    unit.setRevision("REV 2.00");
    box.onGetFirmwareRevision(desktop);
  });
  dialog->onAbout();
  EXPECT_EQ(first, "REV 1.00 ");
  EXPECT_EQ(desktop.revisionShown, "REV 2.00 ");

  dialog->onAbout();  // closed without a press
  EXPECT_EQ(desktop.revisionShown, "");
}

TEST_F(AboutTest, SilentUnitWaitsSevenSecondsAndShowsBlanks) {
  unit.addFault(faultOn("?V", sim::Fault::Silence));
  EXPECT_EQ(pressOnce(), kNineBlanks);
  EXPECT_EQ(lastWaitMs(), 7000);
  EXPECT_THAT(boxes(), IsEmpty());
  EXPECT_THAT(dialogs(), ElementsAre(res::IDD_ABOUTBOX));
}

TEST_F(AboutTest, UnitStoppingMidReplyShowsWhatArrivedPaddedWithBlanks) {
  unit.setRevision("DVX 2.13a");
  unit.addFault(faultOn("?V", sim::Fault::Truncated, "", 4));
  EXPECT_EQ(pressOnce(), "DVX      ");
  EXPECT_EQ(lastWaitMs(), 7000);  // the fifth byte never comes
}

TEST_F(AboutTest, ControlBytesAndNulShowAsBlanks) {
  unit.setRevision(
      std::string("A\0B\x01\x7F"
                  "C\r\nD\x1B",
                  10));
  EXPECT_EQ(pressOnce(), "A B  C  D");
}

TEST_F(AboutTest, BytesAfterTheTenthDoNotReachTheNextCommand) {
  unit.setRevision("DVX 2.13a!");
  unit.addFault(faultOn("?V", sim::Fault::Surplus, "", 40));
  EXPECT_EQ(pressOnce(), "DVX 2.13a");
  EXPECT_FALSE(unit.peekOutput().has_value());

  takeLines();
  EXPECT_TRUE(dialog->sendCommand("ST"));
  EXPECT_THAT(takeLines(), ElementsAre("ST"));
  EXPECT_THAT(dialogs(), ElementsAre(res::IDD_ABOUTBOX));
}

TEST_F(AboutTest, ClosedLinkShowsBlanksAtOnce) {
  serialLink.close();
  const auto before = clock.nowMs();
  EXPECT_EQ(pressOnce(), kNineBlanks);
  EXPECT_EQ(clock.nowMs(), before);
  EXPECT_THAT(takeLines(), IsEmpty());
}

TEST_F(AboutTest, SystemMenuAboutCommandOpensTheBox) {
  const struct {
    unsigned command;
    bool handled;
  } cases[] = {{0x0010, true}, {0x001F, true}, {0x0020, false}, {0xF060, false}, {0xF010, false}, {0, false}};
  for (const auto& each : cases) {
    const auto before = dialogs().size();
    EXPECT_EQ(dialog->onSysCommand(each.command), each.handled) << std::hex << each.command;
    EXPECT_EQ(dialogs().size(), before + (each.handled ? 1 : 0)) << std::hex << each.command;
  }
}
