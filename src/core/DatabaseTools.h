#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// The library's lock file `.inuse`: an XML property list naming the user and
// machine that have the library open (and, ours only, the process). Advisory:
// whether to honour it is decided by whoever reads it.
class DatabaseTools
{
public:
    static inline const QString LockFileName = QStringLiteral(".inuse");
    static inline const QString userNameKey = QStringLiteral("userName");
    static inline const QString machineNameKey = QStringLiteral("machineName");
    static inline const QString processIDKey = QStringLiteral("processID");

    // Writes the lock file for the current user, host and process, whole and atomically.
    static bool lockDatabaseAtPath(const QString &packagePath);
    // Writes the given lock dictionary back (to restore another holder's lock).
    static bool writeLockData(const QString &packagePath, const QVariantMap &data);
    // The lock file's dictionary, or nothing when there is no readable lock dictionary.
    static std::optional<QVariantMap> lockDataAtPath(const QString &packagePath);
    // True when the lock file exists; its contents are not looked at.
    static bool isDatabaseLockedAtPath(const QString &packagePath);
    // Removes the lock file; logs "Error removing lock: %@" when that fails.
    static bool unlockDatabaseAtPath(const QString &packagePath);

    static QString currentUserName();
    static QString currentMachineName();

    // The lock names this user and machine.
    static bool isOwnLock(const QVariantMap &lock);
    // The lock names a process on this machine that is still running (and is not us).
    static bool isHeldByLiveProcess(const QVariantMap &lock);
};
