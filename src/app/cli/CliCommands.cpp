#include "CliCommand.h"
#include "PredicateCommands.h"
#include "SettingsCommands.h"
#include "StoreCommands.h"

CliRegistry makeCliRegistry()
{
    CliRegistry registry;
    addSettingsCommands(registry);
    addPredicateCommands(registry);
    addStoreCommands(registry);
    return registry;
}
