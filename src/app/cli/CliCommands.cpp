#include "CliCommand.h"
#include "SettingsCommands.h"

CliRegistry makeCliRegistry()
{
    CliRegistry registry;
    addSettingsCommands(registry);
    return registry;
}
