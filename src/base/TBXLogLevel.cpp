#include "base/TBXLogLevel.h"

#include "base/Settings.h"

int TBXLogLevel::logLevel()
{
    return Settings::integer(Settings::logLevel) + 1;
}
