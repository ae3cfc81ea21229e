#pragma once

#include "CliCommand.h"

// stashly-cli add, set and show: records made and changed through the same
// controller and setters as in the program.
void addRecordCommands(CliRegistry &registry);
