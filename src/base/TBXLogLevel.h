#pragma once

// The effective log level: the stored `logLevel` plus one (1 to 3).
class TBXLogLevel
{
public:
    static int logLevel();
};
