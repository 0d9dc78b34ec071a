// What a list should show, read straight from the simulator's directory table, so a test can
// compare a list with the unit without going through the program's own listing code.
#pragma once

#include <string>
#include <vector>

#include "platform/memory/MemoryViews.h"
#include "sim/Unit.h"

namespace labels {

// The names a listing shows for the files of the unit's drive, sorted.
std::vector<std::string> ofUnit(const sim::Drive& drive);
// The labels of a list's rows, sorted.
std::vector<std::string> ofList(const platform::memory::MemoryListView& list);

}  // namespace labels
