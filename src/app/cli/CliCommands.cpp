#include "CliCommand.h"
#include "PredicateCommands.h"
#include "SettingsCommands.h"

CliRegistry makeCliRegistry()
{
    CliRegistry registry;
    addSettingsCommands(registry);
    addPredicateCommands(registry);
    return registry;
}
