#include "core/DatabaseTools.h"

#include "core/Log.h"
#include "core/PropertyList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <pwd.h>
#include <signal.h>
#include <unistd.h>
#endif

namespace {

QString lockPath(const QString &packagePath)
{
    return QDir(packagePath).filePath(DatabaseTools::LockFileName);
}

} // namespace

QString DatabaseTools::currentUserName()
{
#ifdef Q_OS_UNIX
    if (const passwd *pw = ::getpwuid(::getuid()); pw && pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
#endif
    for (const char *var : {"USER", "LOGNAME", "USERNAME"}) {
        const QString v = qEnvironmentVariable(var);
        if (!v.isEmpty())
            return v;
    }
    return QStringLiteral("unknown");
}

QString DatabaseTools::currentMachineName()
{
    return QSysInfo::machineHostName();
}

bool DatabaseTools::lockDatabaseAtPath(const QString &packagePath)
{
    return writeLockData(packagePath, {{userNameKey, currentUserName()},
                                       {machineNameKey, currentMachineName()},
                                       {processIDKey, QCoreApplication::applicationPid()}});
}

bool DatabaseTools::writeLockData(const QString &packagePath, const QVariantMap &data)
{
    QSaveFile file(lockPath(packagePath));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(PropertyList::toXml(data));
    return file.commit();
}

std::optional<QVariantMap> DatabaseTools::lockDataAtPath(const QString &packagePath)
{
    QFile file(lockPath(packagePath));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A lock file is a few hundred bytes; anything huge is not one of ours.
    const QByteArray bytes = file.read(1 << 20);
    const std::optional<QVariant> value = PropertyList::read(bytes);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

bool DatabaseTools::isDatabaseLockedAtPath(const QString &packagePath)
{
    return QFile::exists(lockPath(packagePath));
}

bool DatabaseTools::unlockDatabaseAtPath(const QString &packagePath)
{
    QFile file(lockPath(packagePath));
    if (!file.remove()) {
        const QString reason = file.exists() ? file.errorString() : QStringLiteral("The lock file does not exist.");
        Log::always(QStringLiteral("Error removing lock: %1").arg(reason));
        return false;
    }
    return true;
}

bool DatabaseTools::isOwnLock(const QVariantMap &lock)
{
    return lock.value(userNameKey).toString() == currentUserName()
           && lock.value(machineNameKey).toString() == currentMachineName();
}

bool DatabaseTools::isHeldByLiveProcess(const QVariantMap &lock)
{
    if (lock.value(machineNameKey).toString() != currentMachineName())
        return true; // another machine: we cannot tell, so assume it is in use
    bool ok = false;
    const qint64 pid = lock.value(processIDKey).toLongLong(&ok);
    if (!ok || pid <= 0)
        return false;
    if (pid == QCoreApplication::applicationPid())
        return false;
#ifdef Q_OS_UNIX
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
    return true;
#endif
}
