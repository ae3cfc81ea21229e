#include "core/LibraryLock.h"

#include "base/Log.h"
#include "core/DatabaseTools.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

LibraryLock::LibraryLock(QString package, int fd)
    : m_package(std::move(package))
    , m_fd(fd)
{
}

LibraryLock::~LibraryLock()
{
    // Closing releases the lock. The file stays: removing it would let a
    // waiting program lock a file that a third one has already replaced.
    if (m_fd >= 0)
        ::close(m_fd);
}

LibraryLock::Result LibraryLock::acquire(const QString &packagePath, int waitMs)
{
    const QString path = QDir(packagePath).filePath(FileName);
    const QByteArray native = QFile::encodeName(path);
    Result result;
    // Never through a link (it could name a file anywhere), never blocking on
    // a pipe planted under the name.
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0644);
    if (fd < 0) {
        const int e = errno;
        if (e == ELOOP)
            result.message
                = QStringLiteral("The lock file %1 is a symbolic link; remove it to use this library.").arg(path);
        else if (e == EACCES || e == EROFS || e == EPERM)
            result.message
                = QStringLiteral("The library %1 cannot be changed: %2.").arg(packagePath, qt_error_string(e));
        else
            result.message = QStringLiteral("The lock file %1 cannot be opened: %2.").arg(path, qt_error_string(e));
        return result;
    }
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        result.message
            = QStringLiteral("The lock file %1 is not a regular file; remove it to use this library.").arg(path);
        return result;
    }
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            break;
        const int e = errno;
        if (e == EINTR)
            continue;
        if (e == ENOLCK || e == EOPNOTSUPP || e == ENOSYS) {
            // Some network file systems have no locks: the property-list lock
            // is all the protection there is then.
            Log::always(QStringLiteral("Library lock not supported at %1: %2").arg(path, qt_error_string(e)));
            break;
        }
        if (e != EWOULDBLOCK) {
            ::close(fd);
            result.message = QStringLiteral("The lock file %1 cannot be locked: %2.").arg(path, qt_error_string(e));
            return result;
        }
        if (deadline.hasExpired()) {
            ::close(fd);
            result.status = Status::Busy;
            result.message = QStringLiteral("The library %1 is being changed by %2 on this machine.")
                                 .arg(packagePath, DatabaseTools::describeHolder(packagePath));
            return result;
        }
        QThread::msleep(quint64(std::clamp<qint64>(deadline.remainingTime(), 1, 50)));
    }
    result.status = Status::Acquired;
    result.lock.reset(new LibraryLock(packagePath, fd));
    return result;
}
