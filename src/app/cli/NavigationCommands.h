#pragma once

#include "CliCommand.h"

// stashly-cli list: the records the views show for a row, a search and a
// location choice, in the list view's order; stashly-cli smart-folder list,
// add and remove.
void addNavigationCommands(CliRegistry &registry);
