// The program's global objects, constructed in this order before start-up and destroyed in
// reverse order at exit (destroying serialLink closes the port). Each is declared beside its
// class; one translation unit fixes the order.
#include "app/ExplorerApp.h"
#include "link/SerialLink.h"
#include "ui/CommDialogs.h"
#include "protocol/CommandText.h"
#include "ui/ProgressDialog.h"

SerialLink serialLink;
ExplorerApp theApp;
CommErrorDialog commErrorDialog;
CommFailedDialog commFailedDialog;
ProgressDialog progressDialog;
std::string commandText;
