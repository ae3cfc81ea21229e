#include "CliCommand.h"
#include "LibraryCommands.h"
#include "SettingsCommands.h"
#include "StoreCommands.h"

CliRegistry makeCliRegistry()
{
    CliRegistry registry;
    addLibraryCommands(registry);
    addSettingsCommands(registry);
    addStoreCommands(registry);
    return registry;
}
