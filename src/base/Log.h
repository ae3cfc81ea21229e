#pragma once

#include <QString>

// The program's one log facility. Lines go to standard error, which the process
// entry appends to the log file. Three levels: always; entry traces of handlers
// and operations (effective level above 1); high-frequency traces (exactly 3).
namespace Log {

enum class Level { Always = 1, Entry = 2, Trace = 3 };

bool enabled(Level level);
void write(Level level, const QString &message);

inline void always(const QString &message)
{
    write(Level::Always, message);
}
inline void entry(const QString &message)
{
    write(Level::Entry, message);
}
inline void trace(const QString &message)
{
    write(Level::Trace, message);
}

// Appends standard error to the log file unless a folder named "Workbench"
// exists in the home folder. Returns whether it redirected.
bool redirectStandardError();

// Writes log lines straight to the log file, leaving standard error to the
// program's own messages (the command line). Same Workbench rule as above.
bool writeToLogFile();

} // namespace Log
