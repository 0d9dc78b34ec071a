// WaitCursor: shows the wait cursor for as long as the guard lives, so that every begin is
// matched by an end on every path out of a handler, early returns included.
#pragma once

#include "platform/Desktop.h"

class WaitCursor {
 public:
  explicit WaitCursor(platform::Desktop& desktop) : desktop_(desktop) { desktop_.beginWaitCursor(); }
  ~WaitCursor() { desktop_.endWaitCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  platform::Desktop& desktop_;
};
