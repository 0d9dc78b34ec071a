#pragma once

#include <string>

// The one shared buffer in which each handler builds the line it is about to send; it holds
// nothing between two commands.
extern std::string commandText;
