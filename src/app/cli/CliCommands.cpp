#include "CliCommand.h"
#include "LibraryCommands.h"
#include "SettingsCommands.h"

CliRegistry makeCliRegistry()
{
    CliRegistry registry;
    addLibraryCommands(registry);
    addSettingsCommands(registry);
    return registry;
}
