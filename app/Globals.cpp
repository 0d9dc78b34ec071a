#include "app/Globals.h"

// One translation unit fixes the construction order.
SerialLink serialLink;
ExplorerApp theApp;
CommErrorDialog commErrorDialog;
CommFailedDialog commFailedDialog;
ProgressDialog progressDialog;
std::string commandText;
