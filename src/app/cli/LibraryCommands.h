#pragma once

#include "CliCommand.h"

// stashly-cli info
void addLibraryCommands(CliRegistry &registry);
