// The program's global objects, constructed in this order before start-up and destroyed in
// reverse order at exit (destroying serialLink closes the port).
#pragma once

#include <string>

#include "app/ExplorerApp.h"
#include "app/ProgressDialog.h"
#include "link/SerialLink.h"
#include "protocol/CommDialogs.h"

extern SerialLink serialLink;
extern ExplorerApp theApp;
extern CommErrorDialog commErrorDialog;
extern CommFailedDialog commFailedDialog;
extern ProgressDialog progressDialog;
// The one shared buffer in which each handler builds the line it is about to send.
extern std::string commandText;
