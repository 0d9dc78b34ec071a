#include "Steps.h"

#include "Directories.h"
#include "ui/AboutDialog.h"

namespace sequence {

namespace {

using platform::memory::MemoryListView;

struct Weighted {
  Act act;
  const char* name;
  int weight;
};

constexpr Weighted kActs[] = {
    {Act::Select, "Select", 22},
    {Act::Copy, "Copy", 12},
    {Act::Delete, "Delete", 8},
    {Act::Format, "Format", 3},
    {Act::Rename, "Rename", 10},
    {Act::Play, "Play", 10},
    {Act::DoubleClick, "DoubleClick", 8},
    {Act::Still, "Still", 3},
    {Act::Stop, "Stop", 4},
    {Act::Loop, "Loop", 3},
    {Act::Refresh, "Refresh", 10},
    {Act::About, "About", 3},
    {Act::NewCard, "NewCard", 3},
};

Mood drawMood(Random& random) {
  const int draw = random.below(100);
  return draw < 45 ? Mood::Healthy : draw < 55 ? Mood::SpoiledCompletion : Mood::Faulty;
}

std::optional<std::string> selectedLabel(const MemoryListView& list) {
  const int row = list.firstSelected();
  if (row < 0) return std::nullopt;
  return list.cell(row, 0);
}

// What a user types over a label: a new name, valid or not, the same one, another row's, a
// name with a short or no extension, or more than the edit takes.
std::string typedName(Random& random, const MemoryListView& list, const std::string& label) {
  static const std::string kInvalid[] = {".MPG",
                                         "A_B.MPG",
                                         "AB.MPEG",
                                         "A.B.X",
                                         "",
                                         "ABCDEFGHI",
                                         "ABCDEFGH.",
                                         "AB\rC.MPG",
                                         "AB C.MPG",
                                         "VID\x01.MPG",
                                         "\xC4RGER.TXT",
                                         std::string("AB\0C.MPG", 8),
                                         "ABCDEFGH.MPGX"};
  std::string name;
  switch (random.below(6)) {
    case 0: name = clipName(random); break;
    case 1: name = label; break;
    case 2: name = list.cell(random.below(list.rowCount()), 0); break;
    case 3: return random.pick(kInvalid);
    case 4: name = nameCharacters(random, 1 + random.below(8)) + "." + nameCharacters(random, random.below(4)); break;
    default: name = label.substr(0, label.find_first_of(". ")); break;
  }
  return random.chance(20) ? lowerCase(name) : name;
}

// A row of the list: often the clip played last, as users go back to it; -1 for no row.
int pickRow(World& world, Random& random, const MemoryListView& list) {
  const int played = list.findLabel(world.user.playedLast);
  if (played >= 0 && random.chance(40)) return played;
  return random.below(list.rowCount() + 1) - 1;
}

void select(World& world, Random& random) {
  const DriveKind drive = random.chance(50) ? Internal : Removable;
  MemoryListView& list = world.list(drive);
  list.setFocus();
  list.select(pickRow(world, random, list));
  if (drive == Removable) world.dialog->onRemovableListClick();
}

// A double click plays the row it lands on, mostly in the list the user is working in.
void doubleClick(World& world, Random& random, Intent& intent) {
  const DriveKind drive = random.chance(75) ? intent.current : (intent.current == Internal ? Removable : Internal);
  MemoryListView& list = world.list(drive);
  const int row = pickRow(world, random, list);
  if (row < 0) return;
  list.select(row);
  intent.current = drive;
  intent.played = list.cell(row, 0);
  world.dialog->onListDoubleClick(drive);
}

// The user presses the arrow that is enabled; returns the drive copied to.
DriveKind copy(World& world, Intent& intent) {
  const bool toInternal = world.window->toInternalButton.isEnabled();
  const DriveKind from = toInternal ? Removable : Internal;
  const DriveKind to = toInternal ? Internal : Removable;
  if (const auto label = selectedLabel(world.list(from))) intent.changes.push_back({Change::CopyIn, to, *label});
  if (toInternal) {
    world.dialog->onCopyToInternal();
  } else {
    world.dialog->onCopyToRemovable();
  }
  return to;
}

void erase(World& world, Intent& intent) {
  const auto label = selectedLabel(world.list(intent.current));
  world.dialog->onDeleteFile();
  if (label && world.user.confirmedDelete()) intent.changes.push_back({Change::Erase, intent.current, *label});
}

void rename(World& world, Random& random, Intent& intent) {
  MemoryListView& list = world.list(intent.current);
  const auto label = selectedLabel(list);
  world.dialog->onRenameFile();
  if (!label || !list.isEditing()) return;
  list.typeInEditor(typedName(random, list, *label));
  const std::string typed = list.editText();  // as far as the edit took it
  const bool cancelled = random.chance(10);
  list.endEdit(cancelled);
  const auto field = validField(typed);
  if (field && !cancelled) intent.changes.push_back({Change::Rename, intent.current, *label, *field});
}

}  // namespace

const char* nameOf(Act act) {
  for (const Weighted& each : kActs) {
    if (each.act == act) return each.name;
  }
  return "?";
}

Act drawAct(Random& random) {
  int total = 0;
  for (const Weighted& each : kActs) total += each.weight;
  int draw = random.below(total);
  for (const Weighted& each : kActs) {
    if ((draw -= each.weight) < 0) return each.act;
  }
  return Act::Select;
}

Intent perform(World& world, const Step& step) {
  Random random(step.seed);
  Intent intent;
  intent.mood = drawMood(random);
  if (intent.mood == Mood::Faulty) {
    world.clock.advanceUs(std::int64_t{random.below(2000)} * 1000);  // the user's pause
  } else {
    world.settle();  // nothing left of earlier faults
  }
  world.startStep(intent.mood, step.seed);
  ExplorerDialog& dialog = *world.dialog;
  intent.current = dialog.currentDrive == Internal ? Internal : Removable;
  std::optional<DriveKind> copiedTo;
  switch (step.act) {
    case Act::Select: select(world, random); break;
    case Act::Copy: copiedTo = copy(world, intent); break;
    case Act::Delete: erase(world, intent); break;
    case Act::Format: dialog.onFormatDrive(); break;
    case Act::Rename: rename(world, random, intent); break;
    case Act::Play:
      intent.played = selectedLabel(world.list(intent.current));
      dialog.onPlay();
      break;
    case Act::DoubleClick: doubleClick(world, random, intent); break;
    case Act::Still: dialog.onStill(); break;
    case Act::Stop: dialog.onStop(); break;
    case Act::Loop:
      world.window->loopClipCheck.setCheck(!world.window->loopClipCheck.isChecked());
      dialog.onLoopClip();
      break;
    case Act::Refresh:
      intent.refreshed = true;
      dialog.onRefresh();
      break;
    case Act::About:
      world.user.inAboutBox([&world](AboutDialog& box) { box.onGetFirmwareRevision(world.user); });
      dialog.onAbout();
      break;
    case Act::NewCard:
      insertCard(world.unit.drive(Removable), random);
      intent.cardChanged = true;
      break;
  }
  // A format the user confirmed may act on the drive the step addressed; for a copy, its target.
  if (world.user.confirmedFormat()) intent.changes.push_back({Change::Format, copiedTo.value_or(intent.current)});
  if (intent.played) world.user.playedLast = *intent.played;
  return intent;
}

}  // namespace sequence
