#include "base/Log.h"

#include "base/PlatformPaths.h"
#include "base/TBXLogLevel.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

bool workbenchExists()
{
    return QFileInfo(QDir(PlatformPaths::homeDirectory()).filePath(QStringLiteral("Workbench"))).isDir();
}

std::FILE *g_logFile = nullptr;

} // namespace

namespace Log {

bool enabled(Level level)
{
    switch (level) {
    case Level::Always:
        return true;
    case Level::Entry:
        return TBXLogLevel::logLevel() > 1;
    case Level::Trace:
        return TBXLogLevel::logLevel() == 3;
    }
    return false;
}

void write(Level level, const QString &message)
{
    if (!enabled(level))
        return;
    const QByteArray line = QStringLiteral("%1 Stashly2[%2] %3\n")
                                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")))
                                .arg(QCoreApplication::applicationPid())
                                .arg(message)
                                .toUtf8();
    std::FILE *out = g_logFile ? g_logFile : stderr;
    std::fwrite(line.constData(), 1, size_t(line.size()), out);
    std::fflush(out);
}

bool redirectStandardError()
{
    if (workbenchExists())
        return false;
    const QString path = PlatformPaths::logFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    // freopen closes standard error when it fails, so make sure it cannot.
    QFile probe(path);
    if (!probe.open(QIODevice::Append))
        return false;
    probe.close();
    return std::freopen(QFile::encodeName(path).constData(), "a", stderr) != nullptr;
}

bool writeToLogFile()
{
    if (workbenchExists())
        return false;
    const QString path = PlatformPaths::logFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::FILE *file = std::fopen(QFile::encodeName(path).constData(), "a");
    if (!file)
        return false;
    if (g_logFile)
        std::fclose(g_logFile);
    g_logFile = file;
    return true;
}

} // namespace Log
