#pragma once

#include "CliCommand.h"

// stashly-cli decode [--strict] [--raw] IMAGE ...
void addDecodeCommands(CliRegistry &registry);
