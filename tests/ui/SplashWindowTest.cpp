#include <gtest/gtest.h>

#include <vector>

#include "platform/memory/MemoryDesktop.h"
#include "res/Resources.h"
#include "ui/SplashWindow.h"

namespace {

using platform::memory::Shown;

// The splash state is class-wide: every test starts and ends with none and showing off.
class SplashWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
  static void reset() {
    SplashWindow::hide();
    SplashWindow::enable(false);
  }

  std::size_t shownCount() const { return desktop.shownOf(Shown::SplashShown).size(); }
  std::size_t hiddenCount() const { return desktop.shownOf(Shown::SplashHidden).size(); }

  platform::memory::MemoryDesktop desktop;
  platform::memory::MemoryWindow parent;
};

TEST_F(SplashWindowTest, ShowBeforeEnableDoesNothing) {
  SplashWindow::show(desktop, &parent);
  EXPECT_FALSE(SplashWindow::isShown());
  EXPECT_EQ(shownCount(), 0u);
}

TEST_F(SplashWindowTest, ShowsTheSplashBitmapUntilHidden) {
  SplashWindow::enable(true);
  SplashWindow::show(desktop, &parent);
  ASSERT_TRUE(SplashWindow::isShown());
  ASSERT_EQ(shownCount(), 1u);
  EXPECT_EQ(desktop.shownOf(Shown::SplashShown)[0].id, res::IDB_SPLASH);

  SplashWindow::hide();
  EXPECT_FALSE(SplashWindow::isShown());
  EXPECT_EQ(hiddenCount(), 1u);
}

TEST_F(SplashWindowTest, SecondShowKeepsTheFirst) {
  SplashWindow::enable(true);
  SplashWindow::show(desktop, &parent);
  SplashWindow::show(desktop, &parent);
  EXPECT_EQ(shownCount(), 1u);
  EXPECT_EQ(hiddenCount(), 0u);
  EXPECT_TRUE(SplashWindow::isShown());
}

TEST_F(SplashWindowTest, HideWithNoneDoesNothing) {
  SplashWindow::hide();
  SplashWindow::hide();
  EXPECT_EQ(hiddenCount(), 0u);
  EXPECT_FALSE(SplashWindow::isShown());
}

TEST_F(SplashWindowTest, FailedCreationMeansNoSplashAndNoMessage) {
  desktop.failSplash();
  SplashWindow::enable(true);
  SplashWindow::show(desktop, &parent);
  EXPECT_FALSE(SplashWindow::isShown());
  EXPECT_TRUE(desktop.shown().empty());
}

TEST_F(SplashWindowTest, ShowsAgainAfterHideWhileEnabled) {
  SplashWindow::enable(true);
  SplashWindow::show(desktop, &parent);
  SplashWindow::hide();
  SplashWindow::show(desktop, &parent);
  EXPECT_TRUE(SplashWindow::isShown());
  EXPECT_EQ(shownCount(), 2u);
}

// A start-up box stands with the splash off the screen, which comes back after it; with no
// splash up a box changes nothing.
TEST_F(SplashWindowTest, StandsAsideWhileABoxIsUpAndComesBackAfter) {
  using platform::memory::MemoryDesktop;
  struct Box {
    const char* name;
    Shown::Kind kind;
    void (*run)(MemoryDesktop&);
  };
  const Box boxes[] = {
      {"message box", Shown::MessageBox, [](MemoryDesktop& d) { d.messageBox("text", "caption", platform::MB_OK); }},
      {"communication dialog", Shown::Dialog, [](MemoryDesktop& d) { d.runTemplateDialog(res::IDD_COMM_ERROR); }},
  };
  SplashWindow::enable(true);
  for (const Box& box : boxes) {
    SCOPED_TRACE(box.name);
    MemoryDesktop boxDesktop;
    box.run(boxDesktop);
    SplashWindow::show(boxDesktop, &parent);
    box.run(boxDesktop);
    EXPECT_TRUE(SplashWindow::isShown());
    SplashWindow::hide();

    std::vector<Shown::Kind> kinds;
    for (const Shown& shown : boxDesktop.shown()) kinds.push_back(shown.kind);
    EXPECT_EQ(kinds, (std::vector<Shown::Kind>{box.kind, Shown::SplashShown, Shown::SplashHidden, box.kind,
                                               Shown::SplashShown, Shown::SplashHidden}));
    EXPECT_EQ(boxDesktop.shownOf(Shown::SplashShown).back().id, res::IDB_SPLASH);
  }
}

}  // namespace
