#include "support/PtyExplorerFixture.h"
#include "link/SerialLink.h"
#include "support/Globals.h"

void PtyExplorerFixture::SetUp() {
  pty = std::make_unique<sim::PtyUnit>(unit);
  ASSERT_TRUE(pty->createLink(folder.path().string(), 1));
  resetGlobals();
  ASSERT_EQ(serialLink.open(0, 9600, 0), "");
  openDialog();
}

void PtyExplorerFixture::TearDown() {
  closeDialog();
  pty.reset();
}
