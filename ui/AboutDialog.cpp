// The about box and its one query of the unit: "?V" answers ten raw bytes, no status reply;
// the first nine are the firmware revision.
#include "ui/AboutDialog.h"
#include "link/SerialLink.h"
#include "protocol/CommandText.h"
#include "protocol/Lines.h"

#include <array>
#include <cstdint>

#include "platform/WaitCursor.h"
#include "ui/ExplorerDialog.h"

namespace {

constexpr std::size_t kReplyBytes = 10;
constexpr std::size_t kShownBytes = 9;
constexpr unsigned kSysCommandAbout = 0x0010;

// The field shows text: a control byte or NUL from the unit would cut the text short or
// draw garbage, so it shows as a blank and the field keeps its nine positions.
char shownAs(std::uint8_t byte) { return byte < 0x20 || byte == 0x7F ? ' ' : static_cast<char>(byte); }

}  // namespace

void AboutDialog::onGetFirmwareRevision(platform::Desktop& desktop) {
  std::string revision(kShownBytes, ' ');
  commandText = lines::kRevision;
  commandText += '\r';
  serialLink.sendLine(commandText);
  {
    WaitCursor wait(desktop);
    // Positions the unit did not fill before a time-out stay blank.
    std::array<std::uint8_t, kReplyBytes> reply;
    reply.fill(' ');
    serialLink.readBytes(reply.data(), reply.size(), kRevisionTimeoutMs);
    for (std::size_t i = 0; i < kShownBytes; ++i) revision[i] = shownAs(reply[i]);
    if (revisionDisplay) revisionDisplay->setText(revision);
  }
  // Whatever came after the tenth byte must not pass for the next command's reply.
  serialLink.drain();
}

void ExplorerDialog::onAbout() {
  AboutDialog box;
  desktop_.runAbout(box);
}

bool ExplorerDialog::onSysCommand(unsigned commandId) {
  if ((commandId & 0xFFF0) != kSysCommandAbout) return false;
  onAbout();
  return true;
}
