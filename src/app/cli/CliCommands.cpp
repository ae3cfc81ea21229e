#include "CliCommand.h"
#include "DecodeCommands.h"
#include "SettingsCommands.h"

CliRegistry makeCliRegistry()
{
    CliRegistry registry;
    addSettingsCommands(registry);
    addDecodeCommands(registry);
    return registry;
}
