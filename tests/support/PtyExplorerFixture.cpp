#include "support/PtyExplorerFixture.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "app/Globals.h"

void PtyExplorerFixture::SetUp() {
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  previousFolder = cwd;
  char pattern[] = "/tmp/dorvik-pty-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  folder = pattern;
  ASSERT_EQ(chdir(folder.c_str()), 0);
  pty = std::make_unique<sim::PtyUnit>(unit);
  ASSERT_TRUE(pty->createLink(folder, 1));
  serialLink.close();
  serialLink.setPort(makeSystemPort());
  ASSERT_EQ(serialLink.open(0, 9600, 0), "");
  openDialog();
}

void PtyExplorerFixture::TearDown() {
  closeDialog();
  pty.reset();
  if (!previousFolder.empty()) {
    EXPECT_EQ(chdir(previousFolder.c_str()), 0);
  }
  if (!folder.empty()) std::filesystem::remove_all(folder);
}
