#include "CliCommand.h"
#include "DecodeCommands.h"
#include "ExchangeCommands.h"
#include "LibraryCommands.h"
#include "NavigationCommands.h"
#include "PredicateCommands.h"
#include "RecordCommands.h"
#include "SettingsCommands.h"
#include "StoreCommands.h"

CliRegistry makeCliRegistry()
{
    CliRegistry registry;
    addLibraryCommands(registry);
    addSettingsCommands(registry);
    addStoreCommands(registry);
    addPredicateCommands(registry);
    addDecodeCommands(registry);
    addRecordCommands(registry);
    addNavigationCommands(registry);
    addExchangeCommands(registry);
    return registry;
}
