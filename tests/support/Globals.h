// The program's global objects as a fresh start has them: no progress window and no desktop
// behind it, the link closed, untraced and back on the system's port, the command buffer empty. Every
// fixture that touches them calls this before and after, so no test sees another's leftovers.
#pragma once

#include "link/SerialLink.h"
#include "protocol/CommandText.h"
#include "ui/ProgressDialog.h"

inline void resetGlobals() {
  progressDialog.destroy();
  progressDialog.attach(nullptr);
  serialLink.close();
  serialLink.setPort(makeSystemPort());
  serialLink.setTrace(nullptr);
  serialLink.onReopenFailure = nullptr;
  commandText.clear();
}
