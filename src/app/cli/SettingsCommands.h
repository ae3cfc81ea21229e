#pragma once

#include "CliCommand.h"

// stashly-cli settings get KEY | set KEY VALUE | list
void addSettingsCommands(CliRegistry &registry);
