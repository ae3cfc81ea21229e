#pragma once

#include <QString>

#include <memory>

// One writer per library: an exclusive advisory lock (flock) on the file
// `.inuse.lock` in the package, held from before the store is read until the
// writer is done. The kernel drops it when the holder ends, however it ends,
// so a killed writer never leaves it behind; a second program on this machine
// that wants to write is refused (or waits) until then. The property-list
// lock `.inuse` beside it stays what other users and machines are warned by.
class LibraryLock
{
public:
    static inline const QString FileName = QStringLiteral(".inuse.lock");

    enum class Status {
        Acquired,
        Busy, // another program on this machine writes the library
        Refused, // the lock file cannot be used (a link, a folder, no permission)
    };

    struct Result
    {
        Status status = Status::Refused;
        std::unique_ptr<LibraryLock> lock;
        QString message; // for the user, when not acquired
    };

    // Takes the lock of the package, waiting up to `waitMs` for a busy one.
    static Result acquire(const QString &packagePath, int waitMs = 0);

    ~LibraryLock();
    LibraryLock(const LibraryLock &) = delete;
    LibraryLock &operator=(const LibraryLock &) = delete;

    const QString &packagePath() const { return m_package; }

private:
    LibraryLock(QString package, int fd);

    QString m_package;
    int m_fd = -1;
};
