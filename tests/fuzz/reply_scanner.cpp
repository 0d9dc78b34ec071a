// Fuzz target: the command transaction's reply scanner. The first byte chooses how the
// program waits (a whole transaction or one wait, strict or lax, with or without a per-byte
// limit) and whether the line ends in silence or a vanished device; the second how the user
// answers each box and dialog (Yes/Retry or No/Cancel); the rest is what the unit sends,
// one reply per line the program sends (a resend, or the listing and format that error codes
// 12 and 20 start), separated by 0xFF.
#include <algorithm>
#include <string>

#include "FuzzSupport.h"
#include "link/SerialLink.h"

namespace {

bool contains(const std::string& bytes, const std::string& part) { return bytes.find(part) != std::string::npos; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t options = data[0];
  const std::uint8_t answers = data[1];
  const std::string stream(data + 2, data + size);

  const bool wholeTransaction = (options & 0x02) != 0;
  fuzz::Session session(fuzz::splitReplies(data + 2, size - 2), (options & 0x01) != 0);
  for (int prompt = 0; prompt < 8; ++prompt) {
    session.desktop.answer((answers >> prompt) & 1 ? platform::IDYES : platform::IDCANCEL);
  }
  ExplorerDialog& dialog = *session.dialog;
  dialog.currentDrive = (options & 0x40) ? Internal : Removable;
  const bool strict = (options & 0x04) != 0;

  bool answered = false;
  // A single wait answers a line sent before it.
  if (!wholeTransaction) serialLink.writeByte('\r', NOPARITY);
  if (wholeTransaction) {
    answered = dialog.sendCommand("0SL");
    fuzz::require(!answered || contains(stream, "R\r"), "a transaction succeeded without R CR");
  } else {
    answered = dialog.waitReply((options & 0x08) ? 0 : ExplorerDialog::kReplyTimeoutMs, strict);
    fuzz::require(!answered || contains(stream, strict ? "R\r" : "R"), "a wait succeeded without its reply");
  }
  fuzz::require(session.desktop.cursorDepth() == 0, "wait cursor left on");
  fuzz::require(session.desktop.progress() == nullptr, "progress dialog left open");
  fuzz::require(session.window->window.isEnabled(), "main window left disabled");
  fuzz::require(dialog.failureReported == 0 || dialog.failureReported == 1, "failureReported not a flag");
  fuzz::require(dialog.retrying == 0 || dialog.retrying == 1, "retrying not a flag");
  return 0;
}
