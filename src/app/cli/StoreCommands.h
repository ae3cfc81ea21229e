#pragma once

#include "CliCommand.h"

// stashly-cli query ENTITY ["FORMAT" [ARG ...]]
void addStoreCommands(CliRegistry &registry);
