// The rules every step must keep, judged against the simulated unit's own state:
// - wire, wait, hang: as the port checks them (World.h);
// - cursor, open, enabled: the wait cursor balanced, no progress window or label edit left
//   open, the main window enabled between actions;
// - clips: no clip lost, renamed or changed on the unit except by a change the user asked for
//   and confirmed, on the drive the user acted on (a format offered for a copy: its target);
//   not judged in a step that met a late reply to an earlier line (WirePort::metStaleReplies);
// - refresh: after a Refresh of a healthy unit, the list shows exactly the drive's directory;
//   after one whose directory reply came late, cut short or not at all, only rows it holds;
// - step: a step on a healthy unit (or one that only garbled an operation's final reply)
//   leaves a list that showed what the unit holds still showing it;
// - play: Play plays the clip the user chose, or something shown says why (unless a late reply
//   answered for the unit); a healthy unit that holds the clip plays it.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "Directories.h"
#include "Steps.h"
#include "World.h"

namespace sequence {

struct Before {
  std::array<Clips, 2> clips;
  std::array<bool, 2> inStep{};  // the list showed the clips the unit holds
  std::size_t shownFrom = 0;
};

Before before(World& world);
// The first rule the step broke, as "rule: what happened"; empty when it kept them all.
std::string check(World& world, const Step& step, const Before& before, const Intent& intent);
// After start-up on a healthy unit, both lists show exactly what the unit holds.
std::string checkStart(World& world);

}  // namespace sequence
