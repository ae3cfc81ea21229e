#include "core/TBXLogLevel.h"

#include "core/Settings.h"

int TBXLogLevel::logLevel()
{
    return Settings::integer(Settings::logLevel) + 1;
}
