#pragma once

#include <cstdint>

// The unit's two drives. The Internal Drive is the right list (1001), selected with "0SL";
// the Removable Drive is the left list (1000), selected with "1SL".
enum DriveKind : std::int32_t {
  Internal = 0,
  Removable = 1,
};
