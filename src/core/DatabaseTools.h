#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// The library's lock file `.inuse`: an XML property list naming the user and
// machine that have the library open (and, ours only, the process). Advisory:
// whether to honour it is decided by whoever reads it. It is written through a
// new file renamed into place, so a symbolic link planted as `.inuse` is
// replaced, never followed; it is read only when it is a regular file of at
// most MaxLockFileSize bytes in XML form. (Two writers on one machine are kept
// apart by LibraryLock; this file is what other users and machines see.)
class DatabaseTools
{
public:
    static inline const QString LockFileName = QStringLiteral(".inuse");
    static inline const QString userNameKey = QStringLiteral("userName");
    static inline const QString machineNameKey = QStringLiteral("machineName");
    static inline const QString processIDKey = QStringLiteral("processID");
    static constexpr qint64 MaxLockFileSize = 64 * 1024;

    // Writes the lock file for the current user, host and process, whole and atomically.
    static bool lockDatabaseAtPath(const QString &packagePath, QString *error = nullptr);
    // Writes the given lock dictionary back (to restore another holder's lock).
    static bool writeLockData(const QString &packagePath, const QVariantMap &data, QString *error = nullptr);
    // The lock file's dictionary, or nothing when there is no readable lock dictionary.
    static std::optional<QVariantMap> lockDataAtPath(const QString &packagePath);
    // True when the lock file exists (a dangling symbolic link too); its
    // contents are not looked at.
    static bool isDatabaseLockedAtPath(const QString &packagePath);
    // Removes the lock file; logs "Error removing lock: %@" when that fails.
    static bool unlockDatabaseAtPath(const QString &packagePath);

    static QString currentUserName();
    static QString currentMachineName();

    // The lock names this user and machine.
    static bool isOwnLock(const QVariantMap &lock);
    // The lock may be in use: it names another machine, a process on this
    // machine that is still running (and is not us), or no process at all
    // (locks of other programs and older versions), which cannot be told apart
    // from a live holder.
    static bool isHeldByLiveProcess(const QVariantMap &lock);
    // Whether the process runs and is not a zombie.
    static bool isProcessRunning(qint64 pid);

    // "USER on MACHINE (process N)" for a lock dictionary, each text cut to a
    // readable length and stripped of control characters.
    static QString describeLock(const QVariantMap &lock);
    // The lock's holder, or "an unknown holder" when there is no readable lock.
    static QString describeHolder(const QString &packagePath);
};
