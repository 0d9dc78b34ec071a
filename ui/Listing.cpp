// The directory listing as the window runs it: select a drive, read its capacity and its
// directory under the progress window, and turn the records into the rows of its list and its
// summary line. Whatever did not arrive counts as zero bytes, so a silent unit gives an empty
// list after the waits, never stale rows; and a listing cut short says so, so that it is never
// taken for a complete, smaller drive.
#include "link/SerialLink.h"
#include "platform/WaitCursor.h"
#include "protocol/CommandText.h"
#include "protocol/Directory.h"
#include "protocol/Queries.h"
#include "ui/ExplorerDialog.h"
#include "ui/ProgressDialog.h"

namespace {

constexpr std::int32_t kSortByNameAscending = 2;
static_assert(ExplorerDialog::kListingBytes == directory::kListingBytes);

// Everything that tells the two drives' listings apart.
struct DriveListing {
  platform::ListView* ExplorerControls::*list;
  platform::Control* ExplorerControls::*summary;
  std::int32_t ExplorerDialog::*listed;
  std::uint64_t ExplorerDialog::*usedBytes;
  std::uint64_t ExplorerDialog::*capacityBytes;
  std::string ExplorerDialog::*summaryText;
};

constexpr DriveListing kDriveListings[] = {
    {&ExplorerControls::internalList, &ExplorerControls::internalSummary, &ExplorerDialog::internalListed,
     &ExplorerDialog::internalUsedBytes, &ExplorerDialog::internalCapacityBytes, &ExplorerDialog::internalSummaryText},
    {&ExplorerControls::removableList, &ExplorerControls::removableSummary, &ExplorerDialog::removableListed,
     &ExplorerDialog::removableUsedBytes, &ExplorerDialog::removableCapacityBytes,
     &ExplorerDialog::removableSummaryText},
};

// Reads the four blocks under the wait cursor, one progress step after each, and closes the
// progress dialog; true when every block arrived whole.
bool readDirectory(platform::Desktop& desktop, directory::Listing& packed) {
  directory::Listing raw{};
  bool whole = false;
  {
    WaitCursor cursor(desktop);
    whole = queries::directory(serialLink, commandText, raw, [] { progressDialog.advance(); });
  }
  progressDialog.destroy();
  directory::packListing(raw, packed);
  return whole;
}

void reportIncomplete(platform::Desktop& desktop, DriveKind drive) {
  desktop.messageBox(std::string("The ") + driveTitle(drive) +
                         " did not send its whole directory:\nthe list shows only the files that "
                         "came.\nChoose Refresh to try again.",
                     ExplorerDialog::kIncompleteCaption, platform::MB_OK | platform::MB_ICONEXCLAMATION);
}

// Keys from the names in the list, as the column sort computes them.
void assignSortKeys(platform::ListView& list) {
  for (int row = 0; row < list.rowCount(); ++row) list.setItemData(row, listingSortKey(list.cell(row, 0)));
}

}  // namespace

bool ExplorerDialog::listDrive(DriveKind drive) {
  const DriveListing& listing = kDriveListings[drive == Internal ? 0 : 1];
  this->*listing.listed = 1;
  this->*listing.usedBytes = 0;
  currentDrive = drive;
  if (!sendCommand(selectLine(drive))) return false;

  platform::ListView& list = *(controls.*listing.list);
  list.deleteAll();
  list.enable(true);
  progressDialog.createFor(drive);
  listingComplete = queries::capacity(serialLink, commandText, this->*listing.capacityBytes);
  this->*listing.usedBytes = 0;
  listingComplete = readDirectory(desktop_, listingBuffer) && listingComplete;
  // Whatever the unit sent beyond its 511 records is of no use.
  serialLink.drain();

  list.holdRedraw(true);
  for (std::size_t offset = 0; offset < kListingBytes && listingBuffer[offset] != 0;
       offset += directory::kRecordBytes) {
    if (!entryName(offset)) continue;
    const unsigned kind = clipKind(nameText);
    const int row = list.insertRow(list.rowCount(), nameText, clipImage(kind));
    if (kind <= SoundClip) {
      lengthText(offset);
      list.setCell(row, 1, lengthTextBuffer);
    }
    sizeText(offset);
    list.setCell(row, 2, sizeTextBuffer);
  }
  assignSortKeys(list);
  list.sort(compareSortKeys, kSortByNameAscending);
  list.holdRedraw(false);

  // Free space from a partial listing would be wrong: the mark takes its place.
  this->*listing.summaryText =
      listingComplete ? directory::summaryText(this->*listing.usedBytes, this->*listing.capacityBytes)
                      : groupDigits(this->*listing.usedBytes / 1000) + "KB (listing incomplete)";
  (controls.*listing.summary)->setText(this->*listing.summaryText);
  if (!listingComplete) reportIncomplete(desktop_, drive);
  return true;
}

bool ExplorerDialog::entryName(std::size_t offset) {
  if (offset + directory::kRecordBytes > kListingBytes) return false;
  auto name = directory::recordName(listingBuffer.data() + offset);
  if (!name) return false;
  nameText = std::move(*name);
  return true;
}

void ExplorerDialog::lengthText(std::size_t offset) {
  if (offset + directory::kRecordBytes > kListingBytes) return;
  lengthTextBuffer = directory::lengthTextOf(directory::recordSize(listingBuffer.data() + offset));
}

void ExplorerDialog::sizeText(std::size_t offset) {
  if (offset + directory::kRecordBytes > kListingBytes) return;
  const std::uint32_t size = directory::recordSize(listingBuffer.data() + offset);
  (currentDrive == Internal ? internalUsedBytes : removableUsedBytes) += size;
  sizeTextBuffer = directory::sizeTextOf(size);
}
