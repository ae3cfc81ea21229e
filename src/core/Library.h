#pragma once

#include <QString>

#include <functional>
#include <memory>

class LibraryLock;
class ManagedObjectContext;

// A library package opened for reading or for changing: the one way in for the
// window, every command of the command line and the benchmarks.
//
// Opening checks the path first: an existing package (a folder holding
// `sqldata`, or named "*.stashlyd"), or, to change, a path that does not exist
// yet or an empty folder, which become a new package; anything else is refused
// untouched. To change, it then takes the writer lock (LibraryLock) before the
// store is read, remakes any of the package's folders that went missing and
// opens the store for writing. To read, it opens the store read-only: not a
// byte of the package is written, and a read-only library reads fine. Either
// way the record class is in place and the file's tables are checked.
class Library
{
public:
    enum class Access { Read, Change };

    struct Request
    {
        QString packagePath;
        Access access = Access::Read;
        // How long to wait for another writer on this machine; 0: refuse at once.
        int waitMs = 0;
        // To change: asked once the writer lock is held and before anything in
        // the package is written; false (with the reason) refuses the open.
        std::function<bool(const QString &packagePath, QString *why)> admit;
    };

    static inline const QString StoreFileName = QStringLiteral("sqldata");
    static inline const QString PackageSuffix = QStringLiteral(".stashlyd");
    // The package's folders, in the order a new package gets them.
    static const QStringList &folderNames();
    // The store's metadata entry set once the first-run defaults are saved.
    static inline const QString DefaultsMarkerKey = QStringLiteral("firstRunDefaults");

    // None, with one message naming the path and what is wrong, when the
    // library cannot be opened that way.
    static std::unique_ptr<Library> open(const Request &request, QString *error);
    ~Library();
    Library(const Library &) = delete;
    Library &operator=(const Library &) = delete;

    const QString &packagePath() const { return m_package; }
    ManagedObjectContext &context() const { return *m_context; }
    Access access() const { return m_access; }
    // The package folder was made (or an empty folder adopted) by this open.
    bool isNew() const { return m_isNew; }
    // The first-run defaults never landed (a new library, or one whose first
    // run was cut short); whoever opened it to change should make them.
    bool needsDefaults() const { return m_needsDefaults; }

private:
    Library() = default;

    QString m_package;
    Access m_access = Access::Read;
    bool m_isNew = false;
    bool m_needsDefaults = false;
    // Declared first so that it is released last, after the store has closed.
    std::unique_ptr<LibraryLock> m_lock;
    std::unique_ptr<ManagedObjectContext> m_context;
};
