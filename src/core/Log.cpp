#include "core/Log.h"

#include "core/PlatformPaths.h"
#include "core/TBXLogLevel.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

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
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

bool redirectStandardError()
{
    if (QFileInfo(QDir(PlatformPaths::homeDirectory()).filePath(QStringLiteral("Workbench"))).isDir())
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

} // namespace Log
