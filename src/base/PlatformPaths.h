#pragma once

#include <QString>

// The desktop folders the program uses, all through QStandardPaths (XDG on Linux).
// When a folder cannot be determined, the system's temporary folder stands in.
namespace PlatformPaths {

// $XDG_DATA_HOME/Stashly2: holds the default library and the program's own files.
QString applicationSupportDirectory();
// $XDG_CACHE_HOME/Stashly2
QString cachesDirectory();
// $XDG_STATE_HOME/Stashly2/Stashly2.log
QString logFilePath();
// The XDG download folder.
QString downloadsDirectory();
// The default library package inside the application-support folder.
QString defaultLibraryPath();
// The user's home folder.
QString homeDirectory();

} // namespace PlatformPaths
