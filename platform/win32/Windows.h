// <windows.h> for this front-end, after the program's headers that name their constants as
// Win32 does (IDOK, MB_OK, WS_GROUP, ...): once its macros exist those names no longer
// compile, so code here uses the macros, whose values are the same.
#pragma once

#include "platform/Desktop.h"
#include "res/Resources.h"
#include "ui/ExplorerDialog.h"

#include <windows.h>

#include <commctrl.h>
