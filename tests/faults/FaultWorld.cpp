#include "FaultWorld.h"

#include <gtest/gtest.h>

#include <memory>

#include "link/SerialLink.h"
#include "protocol/CommandText.h"
#include "res/Resources.h"
#include "support/Globals.h"
#include "ui/ProgressDialog.h"

namespace faults {

namespace {

// Both drives hold clips of every playable kind and a command file; VID00012.MPG is on the
// Internal Drive only, so it can be copied, played, renamed and deleted there.
const char* const kManifest =
    "[internal]\nVID00012.MPG 1764000\nSND00003.WAV 352800\nPLY00005.LST 2000\nCOMMAND1.BAT 300\n"
    "[removable]\nVID00007.MPG 352800\nSND00001.WAV 176400\n";

}  // namespace

int WatchedPort::readByte(int timeoutMs) {
  if (clock_.nowMs() > kHangCapMs) hung_ = true;
  if (hung_) return kReadFailed;
  return MemoryPort::readByte(timeoutMs);
}

int SteadyUser::messageBox(const std::string& text, const std::string& caption, unsigned style) {
  MemoryDesktop::messageBox(text, caption, style);
  if (caption == "Delete File(s)" || caption == "Format Drive") return platform::IDYES;
  if (caption == "Error Code 20 Received") {
    // Yes every time would let a unit that answers 20 to everything ask for ever.
    const bool first = !formatOffered_;
    formatOffered_ = true;
    return first ? platform::IDYES : platform::IDNO;
  }
  return platform::IDOK;
}

// Retry in "Communications Error!", Continue in "Communications Failed!".
int SteadyUser::runTemplateDialog(int templateId) {
  MemoryDesktop::runTemplateDialog(templateId);
  return platform::IDOK;
}

FaultWorld::FaultWorld(int completionDelayMs) {
  std::string error;
  EXPECT_TRUE(unit.seedManifest(kManifest, &error)) << error;
  unit.setCompletionDelayMs(completionDelayMs);
  auto memoryPort = std::make_unique<WatchedPort>(unit, clock);
  port = memoryPort.get();
  serialLink.close();
  serialLink.setPort(std::move(memoryPort));
  desktop.setClock([this] { return clock.nowMs(); });
  desktop.answerPortSelect(res::IDC_COM1, platform::IDOK);
  progressDialog.attach(&desktop);
}

FaultWorld::~FaultWorld() { resetGlobals(); }

void FaultWorld::recover() {
  unit.clearFaults();
  // The unit queues every reply behind the last one: let the clock pass its last byte.
  while (const auto next = unit.peekOutput()) {
    clock.advanceToUs(next->atUs);
    unit.popOutput();
  }
  port->setPresent(0, true);
  serialLink.close();
  EXPECT_EQ(serialLink.open(0, 9600, 0), "");
}

}  // namespace faults
