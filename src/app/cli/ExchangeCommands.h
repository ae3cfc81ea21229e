#pragma once

#include "CliCommand.h"

// stashly-cli export-csv: the records of a row and search, in the list's order,
// written as the window's CSV export writes them.
void addExchangeCommands(CliRegistry &registry);
