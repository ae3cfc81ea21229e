#include "base/PlatformPaths.h"

#include <QDir>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace {

const QString kAppFolder = QStringLiteral("Stashly2");

QString orTemp(const QString &path)
{
    return path.isEmpty() ? QDir::tempPath() : path;
}

// QStandardPaths appends the organisation/application names to some locations;
// we want the plain XDG folders with our own folder name below them.
QString genericLocation(QStandardPaths::StandardLocation location)
{
    return orTemp(QStandardPaths::writableLocation(location));
}

} // namespace

namespace PlatformPaths {

QString applicationSupportDirectory()
{
    return QDir(genericLocation(QStandardPaths::GenericDataLocation)).filePath(kAppFolder);
}

QString cachesDirectory()
{
    return QDir(genericLocation(QStandardPaths::GenericCacheLocation)).filePath(kAppFolder);
}

QString logFilePath()
{
    // Qt 6.4 has no generic state location; follow the XDG rule by hand.
    QString state = QProcessEnvironment::systemEnvironment().value(QStringLiteral("XDG_STATE_HOME"));
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir(homeDirectory()).filePath(QStringLiteral(".local/state"));
    return QDir(state).filePath(kAppFolder + QStringLiteral("/Stashly2.log"));
}

QString downloadsDirectory()
{
    return genericLocation(QStandardPaths::DownloadLocation);
}

QString defaultLibraryPath()
{
    return QDir(applicationSupportDirectory()).filePath(QStringLiteral("Stashly Library.stashlyd"));
}

QString homeDirectory()
{
    return QDir::homePath();
}

} // namespace PlatformPaths
