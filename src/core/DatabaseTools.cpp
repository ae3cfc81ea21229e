#include "core/DatabaseTools.h"

#include "base/Log.h"
#include "base/PropertyList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSysInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
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
    for (const char *var : { "USER", "LOGNAME", "USERNAME" }) {
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

bool DatabaseTools::lockDatabaseAtPath(const QString &packagePath, QString *error)
{
    return writeLockData(packagePath,
                         { { userNameKey, currentUserName() },
                           { machineNameKey, currentMachineName() },
                           { processIDKey, QCoreApplication::applicationPid() } },
                         error);
}

bool DatabaseTools::writeLockData(const QString &packagePath, const QVariantMap &data, QString *error)
{
    const QString target = lockPath(packagePath);
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("The lock file %1 cannot be written: %2").arg(target, why);
        return false;
    };
    const QByteArray xml = PropertyList::toXml(data);
    if (xml.isEmpty())
        return fail(QStringLiteral("the lock holds values a property list cannot"));
#ifdef Q_OS_UNIX
    // QSaveFile would follow a symbolic link planted as `.inuse` and write
    // wherever it points; a new file renamed over the name replaces the link.
    QByteArray temp = QFile::encodeName(target + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return fail(qt_error_string(errno));
    bool ok = ::fchmod(fd, 0644) == 0;
    for (qsizetype done = 0; ok && done < xml.size();) {
        const ssize_t n = ::write(fd, xml.constData() + done, size_t(xml.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += n > 0 ? n : 0;
    }
    ok = ok && ::fsync(fd) == 0;
    const int savedErrno = errno;
    ::close(fd);
    if (!ok || ::rename(temp.constData(), QFile::encodeName(target).constData()) != 0) {
        const QString why = qt_error_string(ok ? errno : savedErrno);
        ::unlink(temp.constData());
        return fail(why);
    }
    return true;
#else
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    file.write(xml);
    return file.commit() || fail(file.errorString());
#endif
}

std::optional<QVariantMap> DatabaseTools::lockDataAtPath(const QString &packagePath)
{
    // Only a small regular file is read: a link could point anywhere, a pipe
    // would block, and nothing of ours is larger.
    const QFileInfo info(lockPath(packagePath));
    if (info.isSymLink() || !info.isFile() || info.size() > MaxLockFileSize)
        return std::nullopt;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.read(MaxLockFileSize + 1);
    // Locks are written as XML; a binary list here was put by someone else.
    if (bytes.size() > MaxLockFileSize || !bytes.trimmed().startsWith('<'))
        return std::nullopt;
    const std::optional<QVariant> value = PropertyList::read(bytes);
    if (!value || value->typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    return value->toMap();
}

bool DatabaseTools::isDatabaseLockedAtPath(const QString &packagePath)
{
    const QFileInfo info(lockPath(packagePath));
    return info.exists() || info.isSymLink();
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

bool DatabaseTools::isProcessRunning(qint64 pid)
{
    if (pid <= 0)
        return false;
#ifdef Q_OS_UNIX
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
#ifdef Q_OS_LINUX
    // A zombie has ended; only its parent has not collected it yet. The state
    // follows the command name in parentheses, which may itself hold any text.
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        const QByteArray line = stat.read(4096);
        const qsizetype close = line.lastIndexOf(')');
        if (close >= 0 && close + 2 < line.size() && (line.at(close + 2) == 'Z' || line.at(close + 2) == 'X'))
            return false;
    }
#endif
    return true;
#else
    return true;
#endif
}

bool DatabaseTools::isHeldByLiveProcess(const QVariantMap &lock)
{
    if (lock.value(machineNameKey).toString() != currentMachineName())
        return true; // another machine: we cannot tell, so assume it is in use
    bool ok = false;
    const qint64 pid = lock.value(processIDKey).toLongLong(&ok);
    if (!ok || pid <= 0)
        return true; // no process to ask: it may well be running
    if (pid == QCoreApplication::applicationPid())
        return false;
    return isProcessRunning(pid);
}

QString DatabaseTools::describeLock(const QVariantMap &lock)
{
    // Lock files come from anywhere: a name is shown short and on one line.
    const auto shown = [](const QVariant &value) {
        QString text = value.toString();
        for (QChar &c : text)
            if (c.isNonCharacter() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
                c = QLatin1Char('?');
        constexpr int kLongest = 64;
        if (text.size() > kLongest)
            text = text.left(kLongest) + QChar(0x2026);
        return text.isEmpty() ? QStringLiteral("?") : text;
    };
    QString text = QStringLiteral("%1 on %2").arg(shown(lock.value(userNameKey)), shown(lock.value(machineNameKey)));
    bool ok = false;
    const qint64 pid = lock.value(processIDKey).toLongLong(&ok);
    if (ok)
        text += QStringLiteral(" (process %1)").arg(pid);
    return text;
}

QString DatabaseTools::describeHolder(const QString &packagePath)
{
    const std::optional<QVariantMap> lock = lockDataAtPath(packagePath);
    return lock ? describeLock(*lock) : QStringLiteral("an unknown holder (unreadable lock file)");
}
