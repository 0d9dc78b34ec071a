#include "support/ExplorerFixture.h"
#include "link/SerialLink.h"
#include "protocol/CommandText.h"
#include "support/Globals.h"
#include "ui/ProgressDialog.h"

void ExplorerTestBase::openDialog() {
  progressDialog.attach(&desktop);
  dialog = std::make_unique<ExplorerDialog>(desktop);
  window = &desktop.open(*dialog);
}

void ExplorerTestBase::closeDialog() { resetGlobals(); }

void ExplorerTestBase::seed(const std::string& manifest) {
  std::string error;
  ASSERT_TRUE(unit.seedManifest(manifest, &error)) << error;
}

std::vector<std::string> ExplorerTestBase::takeLines() {
  auto lines = unit.receivedLines();
  unit.clearReceivedLines();
  return lines;
}

std::vector<std::string> ExplorerTestBase::boxes() const {
  std::vector<std::string> result;
  for (const auto& box : desktop.shownOf(platform::memory::Shown::MessageBox)) {
    result.push_back(box.caption + "|" + box.text);
  }
  return result;
}

std::vector<int> ExplorerTestBase::dialogs() const {
  std::vector<int> result;
  for (const auto& shown : desktop.shownOf(platform::memory::Shown::Dialog)) result.push_back(shown.id);
  return result;
}

void ExplorerFixture::SetUp() {
  auto memoryPort = std::make_unique<sim::MemoryPort>(unit, clock);
  port = memoryPort.get();
  serialLink.close();
  serialLink.setPort(std::move(memoryPort));
  ASSERT_EQ(serialLink.open(0, 9600, 0), "");
  desktop.setClock([this] { return clock.nowMs(); });
  openDialog();
}

void ExplorerFixture::TearDown() { closeDialog(); }
