#include "Invariants.h"

#include <algorithm>
#include <iterator>

namespace sequence {

namespace {

using State = std::array<Clips, 2>;

const char* driveName(DriveKind drive) { return drive == Internal ? "Internal" : "Removable"; }
DriveKind otherDrive(DriveKind drive) { return drive == Internal ? Removable : Internal; }

// Files, as the unit's commands find them: no volume label or sub-directory.
bool isFile(const Record& record) { return (record[11] & (sim::kAttrVolume | sim::kAttrDirectory)) == 0; }

bool sameField(const Record& a, const Record& b) { return std::equal(a.begin(), a.begin() + 11, b.begin()); }

std::string joined(const std::vector<std::string>& labels) {
  std::string text = "[";
  for (const std::string& label : labels) text += (text.size() > 1 ? ", " : "") + label;
  return text + "]";
}

std::vector<std::string> sortedLabels(const platform::memory::MemoryListView& list) {
  auto labels = list.labels();
  std::sort(labels.begin(), labels.end());
  return labels;
}

// Whether the record is what a row of that label names: a renamed row shows the name as typed
// ("17.T", "ABC.") where a listing shows "17 T" and "ABC", so they compare by field.
bool isNamedBy(const Record& record, const std::string& label) {
  return isFile(record) && fieldOf(*labelOf(record)) == fieldOf(label);
}

// The states a change may leave: one for each record that the row acted on may name.
std::vector<State> applied(const State& state, const Change& change) {
  if (change.kind == Change::Format) {
    State result = state;
    result[change.drive].clear();
    return {result};
  }
  std::vector<State> results;
  const Clips& source = state[change.kind == Change::CopyIn ? otherDrive(change.drive) : change.drive];
  for (const Record& record : source) {
    if (!isNamedBy(record, change.label)) continue;
    State result = state;
    Clips& clips = result[change.drive];
    if (change.kind == Change::CopyIn) {
      // FAT copies over a file of the same name.
      std::erase_if(clips, [&record](const Record& each) { return isFile(each) && sameField(each, record); });
      clips.push_back(record);
    } else {
      const auto at = std::find(clips.begin(), clips.end(), record);
      if (change.kind == Change::Erase) {
        clips.erase(at);
      } else {
        std::copy(change.newField.begin(), change.newField.end(), at->begin());
      }
    }
    std::sort(clips.begin(), clips.end());
    results.push_back(result);
  }
  return results;
}

// Whether some of the changes, each at most once and in their order, turn state into after.
bool explains(const State& state, const State& after, const std::vector<Change>& changes, std::size_t next) {
  if (state == after) return true;
  if (next == changes.size()) return false;
  if (explains(state, after, changes, next + 1)) return true;
  for (const State& changed : applied(state, changes[next])) {
    if (explains(changed, after, changes, next + 1)) return true;
  }
  return false;
}

std::string checkClips(World& world, const Step& step, const Before& before, const Intent& intent) {
  const State after{clipsOf(world.unit.drive(Internal)), clipsOf(world.unit.drive(Removable))};
  if (intent.cardChanged || world.port->metStaleReplies() || explains(before.clips, after, intent.changes, 0))
    return "";
  std::string text = std::string("clips: after a ") + nameOf(step.act) + " step";
  for (const DriveKind drive : {Internal, Removable}) {
    Clips lost, gained;
    std::set_difference(before.clips[drive].begin(), before.clips[drive].end(), after[drive].begin(),
                        after[drive].end(), std::back_inserter(lost));
    std::set_difference(after[drive].begin(), after[drive].end(), before.clips[drive].begin(),
                        before.clips[drive].end(), std::back_inserter(gained));
    if (lost.empty() && gained.empty()) continue;
    text += std::string(", the ") + driveName(drive) + " Drive lost " + joined(labelsOf(lost)) + " and gained " +
            joined(labelsOf(gained));
  }
  return text;
}

std::vector<std::string> fieldsOf(const std::vector<std::string>& labels) {
  std::vector<std::string> fields;
  for (const std::string& label : labels) fields.push_back(fieldOf(label));
  std::sort(fields.begin(), fields.end());
  return fields;
}

// A renamed row shows the name as typed ("ABC." for ABC), so lists and drives compare by field.
bool inStep(World& world, DriveKind drive) {
  return world.unit.drive(drive).present &&
         fieldsOf(world.list(drive).labels()) == fieldsOf(labelsOf(clipsOf(world.unit.drive(drive))));
}

std::string checkLists(World& world, const Step& step, const Before& before, const Intent& intent) {
  if (intent.refreshed && intent.mood == Mood::Healthy && world.unit.drive(intent.current).present) {
    const auto shown = sortedLabels(world.list(intent.current));
    const auto held = labelsOf(clipsOf(world.unit.drive(intent.current)));
    if (shown != held) {
      return std::string("refresh: the ") + driveName(intent.current) + " list shows " + joined(shown) +
             " but the unit holds " + joined(held);
    }
  }
  const auto listed = world.port->cleanlyListed();
  if (intent.refreshed && listed && !intent.cardChanged && !world.port->metStaleReplies()) {
    const auto held = labelsOf(clipsOf(world.unit.drive(*listed)));
    for (const std::string& shown : sortedLabels(world.list(intent.current))) {
      if (!std::binary_search(held.begin(), held.end(), shown))
        return "refresh: the " + std::string(driveName(intent.current)) + " list shows \"" + shown +
               "\", which the unit does not hold";
    }
  }
  if (listed && world.port->lastListingCut() && !world.port->metStaleReplies()) {
    const std::string& summary =
        *listed == Internal ? world.dialog->internalSummaryText : world.dialog->removableSummaryText;
    if (world.dialog->listingComplete || !summary.ends_with("(listing incomplete)")) {
      return "incomplete: a listing of the " + std::string(driveName(*listed)) + " cut short shows \"" + summary + "\"";
    }
  }
  if (intent.mood == Mood::Faulty || intent.cardChanged) return "";
  for (const DriveKind drive : {Internal, Removable}) {
    if (before.inStep[drive] && !inStep(world, drive)) {
      return std::string("step: after a ") + nameOf(step.act) + " step the " + driveName(drive) + " list shows " +
             joined(sortedLabels(world.list(drive))) + " but the unit holds " +
             joined(labelsOf(clipsOf(world.unit.drive(drive))));
    }
  }
  return "";
}

bool somethingShown(const World& world, std::size_t from) {
  using platform::memory::Shown;
  const auto& shown = world.user.shown();
  return std::any_of(shown.begin() + static_cast<std::ptrdiff_t>(from), shown.end(),
                     [](const Shown& each) { return each.kind == Shown::MessageBox || each.kind == Shown::Dialog; });
}

std::string checkPlay(World& world, const Before& before, const Intent& intent) {
  if (!intent.played) return "";
  const std::string& label = *intent.played;
  const sim::PlayState& play = world.unit.playState();
  const int number = playableNumber(label);
  const bool plays = number >= 0 && play.playing && play.cuedClip == number && play.selectedDrive == intent.current &&
                     play.looping == world.window->loopClipCheck.isChecked();
  if (plays) return "";
  if (!somethingShown(world, before.shownFrom) && !world.port->metStaleReplies())
    return "play: Play on " + label + " neither played it nor said why";
  const auto held = labelsOf(clipsOf(world.unit.drive(intent.current)));
  if (intent.mood == Mood::Healthy && number >= 0 && std::binary_search(held.begin(), held.end(), label)) {
    return "play: a healthy unit holding " + label + " was not made to play it";
  }
  return "";
}

}  // namespace

Before before(World& world) {
  Before state;
  for (const DriveKind drive : {Internal, Removable}) {
    state.clips[drive] = clipsOf(world.unit.drive(drive));
    state.inStep[drive] = inStep(world, drive);
  }
  state.shownFrom = world.user.shown().size();
  return state;
}

std::string check(World& world, const Step& step, const Before& before, const Intent& intent) {
  if (!world.port->problem().empty()) return world.port->problem();
  if (world.user.cursorDepth() != 0)
    return "cursor: the wait cursor left at depth " + std::to_string(world.user.cursorDepth());
  if (world.user.progress() != nullptr) return "open: the progress window left open";
  if (world.window->internalList.isEditing() || world.window->removableList.isEditing())
    return "open: a label edit left open";
  if (!world.window->window.isEnabled()) return "enabled: the main window left disabled";
  if (auto broken = checkClips(world, step, before, intent); !broken.empty()) return broken;
  if (auto broken = checkLists(world, step, before, intent); !broken.empty()) return broken;
  return checkPlay(world, before, intent);
}

std::string checkStart(World& world) {
  if (!world.port->problem().empty()) return world.port->problem();
  for (const DriveKind drive : {Internal, Removable}) {
    const auto shown = sortedLabels(world.list(drive));
    const auto held = labelsOf(clipsOf(world.unit.drive(drive)));
    if (shown != held)
      return std::string("refresh: at start the ") + driveName(drive) + " list shows " + joined(shown) +
             " but the unit holds " + joined(held);
  }
  return "";
}

}  // namespace sequence
