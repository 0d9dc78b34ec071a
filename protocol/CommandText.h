// The one shared buffer in which each handler builds the line it is about to send; it holds
// nothing between two commands.
#pragma once

#include <string>

extern std::string commandText;
