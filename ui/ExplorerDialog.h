// ExplorerDialog: the main window's logic. Both drive lists side by side, the current
// drive, summary lines, context menu, sorting, Refresh (ui/); the command transaction and the
// directory listing (protocol/); playback and the about box (ui/); copy, delete, format and
// rename (clips/). Each area defines its members in its own folder.
//
// The dialog talks to the screen only through the platform interfaces: each front-end
// builds the window from template 102, binds its controls with attach(), calls
// onInitDialog(), then forwards each event to the handler named after it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "platform/Desktop.h"
#include "platform/Views.h"
#include "protocol/DriveKind.h"
#include "protocol/Reply.h"

// The controls of template 102 that the dialog binds (its data exchange).
struct ExplorerControls {
  platform::Window* window = nullptr;
  platform::ListView* removableList = nullptr;     // 1000, left
  platform::ListView* internalList = nullptr;      // 1001, right
  platform::Control* removableSummary = nullptr;   // 1033
  platform::Control* internalSummary = nullptr;    // 1034
  platform::Control* toInternalButton = nullptr;   // 1013 "-->"
  platform::Control* toRemovableButton = nullptr;  // 1014 "<--"
  platform::Control* loopClipCheck = nullptr;      // 1026
};

// A queued keyboard or context-menu message, as preTranslateMessage sees it.
struct QueuedMessage {
  enum Type { KeyDown, SysKeyDown, ContextMenu, Other } type = Other;
  int virtualKey = 0;
  int controlId = 0;  // the template ID of the control it is addressed to; 0 for the dialog
};
constexpr int VK_F2 = 0x71;
constexpr int VK_F5 = 0x74;
constexpr int VK_F10 = 0x79;
constexpr int VK_DELETE = 0x2E;

class ExplorerDialog {
 public:
  static constexpr std::size_t kListingBytes = 16352;  // 511 records of 32 bytes
  static constexpr int kReplyTimeoutMs = reply::kStatusTimeoutMs;
  // Per-byte limit of the wait for the reply that ends a copy, delete or format: none of its
  // own; the whole wait is capped as a wait without a limit is.
  static constexpr int kUntilDoneMs = 0;
  // Every reply is awaited in slices of at most this much, between which the windows repaint
  // (shorter than a drain's quiet time, so that a watcher of the line tells the two apart).
  static constexpr int kRepaintSliceMs = 50;

  explicit ExplorerDialog(platform::Desktop& desktop);

  void attach(const ExplorerControls& controls);
  platform::Desktop& desktop() { return desktop_; }

  // The message table's one switch: the buttons and the check box of template 102 and the
  // context menus' commands 32771, 32774, 32777, 32778. False for an ID that is none of them
  // (the front-end's own: Exit, OK, Cancel).
  bool onCommand(int commandId);

  // Command transaction.
  bool sendCommand(std::string line);
  bool waitReply(std::int32_t timeoutMs, bool strict);
  // Copy, delete, format: sends the line of an operation acting on drive and waits for the
  // second reply that ends it; true when it is done. A refused or unanswered line is not
  // followed by that wait. After a completion wait timed out, Retry waits once more (nothing
  // is resent), and the drive is then listed again, so its list shows what the unit holds.
  bool runOperation(std::string line, DriveKind drive);

  // Directory listing. A listing whose capacity or directory reply did not arrive whole keeps
  // the rows that did, marks the summary line and says so in a box with this caption.
  static constexpr const char* kIncompleteCaption = "Listing Incomplete";
  bool listDrive(DriveKind drive);
  bool entryName(std::size_t offset);
  void lengthText(std::size_t offset);
  void sizeText(std::size_t offset);

  // Explorer window.
  void onInitDialog();
  void onRemovableListFocus();
  void onInternalListFocus();
  void onRemovableListClick();
  void onListRightClick();
  void onContextMenu(int x, int y);
  bool preTranslateMessage(const QueuedMessage& message);
  void onColumnClick(DriveKind list, int column);
  void onRefresh();

  // Playback.
  void onPlay();
  void onListDoubleClick(DriveKind list);
  bool cueClip(const std::string& name);
  void onStill();
  void onStop();
  void onLoopClip();

  // About box.
  void onAbout();
  bool onSysCommand(unsigned commandId);  // true when handled here

  // Clip management. Delete and format ask first, in boxes of these captions.
  static constexpr const char* kDeleteCaption = "Delete File(s)";
  static constexpr const char* kFormatCaption = "Format Drive";
  void onCopyToInternal();
  void onCopyToRemovable();
  void onDeleteFile();
  void onFormatDrive();
  void formatDrive(DriveKind drive);  // asks, selects drive, and formats it only if that worked
  void onRenameFile();
  void onBeginLabelEdit(DriveKind list);
  void onEndLabelEdit(DriveKind list, bool cancelled);

  // Fields, in the order of the original dialog.
  ExplorerControls controls;
  std::int32_t loopClip = 0;
  DriveKind currentDrive = Removable;
  std::int32_t menuArmed = 0;
  std::int32_t failureReported = 0;
  std::int32_t retrying = 0;
  std::string lastCuedClip;
  std::array<std::uint8_t, kListingBytes> listingBuffer{};
  std::int32_t internalSortCode = 0;
  std::int32_t removableSortCode = 0;
  std::int32_t internalListed = 0;
  std::int32_t removableListed = 0;
  // 64-bit so that neither the used total nor the capacity can wrap.
  std::uint64_t internalUsedBytes = 0;
  std::uint64_t internalCapacityBytes = 0;
  std::uint64_t removableUsedBytes = 0;
  std::uint64_t removableCapacityBytes = 0;
  std::string nameText;
  std::string lengthTextBuffer;
  std::string sizeTextBuffer;
  std::string removableSummaryText;
  std::string internalSummaryText;
  bool listingComplete = true;  // the last listing's replies all arrived whole
  // The unit's error code whose box is up, for a front-end that tells it in other words.
  const reply::ErrorCode* codeShown = nullptr;
  platform::ListView* labelEditor = nullptr;
  std::string nameBeforeEdit;

 private:
  enum class WaitEnd { Done, Refused, TimedOut };
  WaitEnd awaitReply(std::int32_t timeoutMs, bool strict);
  bool readReplyByte(std::uint8_t& byte, std::int32_t timeoutMs, std::int64_t deadlineUs);
  bool transact(std::string line, bool keepCompletion);
  void drainKeepingCompletion();
  bool waitCompletion(DriveKind drive);

  bool onListKey(const QueuedMessage& message);
  platform::ListView& listOf(DriveKind drive);
  void showSummary(DriveKind drive);
  void copySelected(DriveKind from, DriveKind to);

  platform::Desktop& desktop_;
  bool listingFromReply_ = false;            // a listing started by error 12's follow-up is running
  std::deque<std::uint8_t> heldReply_;       // what came in the drain before a completion wait
  std::optional<DriveKind> operationDrive_;  // the drive a running copy, delete or format acts on
};
