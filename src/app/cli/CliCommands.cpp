#include "CliCommand.h"
#include "SettingsCommands.h"
#include "StoreCommands.h"

CliRegistry makeCliRegistry()
{
    CliRegistry registry;
    addSettingsCommands(registry);
    addStoreCommands(registry);
    return registry;
}
