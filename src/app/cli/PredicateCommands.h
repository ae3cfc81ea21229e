#pragma once

#include "CliCommand.h"

// stashly-cli predicate [--data] FORMAT [ARG ...]
void addPredicateCommands(CliRegistry &registry);
