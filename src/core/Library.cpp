#include "core/Library.h"

#include "base/Log.h"
#include "core/LibraryLock.h"
#include "core/Record.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectContext.h"

#include <QDir>
#include <QFileInfo>

namespace {

enum class PathKind { Missing, EmptyFolder, Package, NotALibrary };

PathKind classify(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        if (info.isSymLink()) {
            *error = QStringLiteral("The library path %1 is a symbolic link to nothing.").arg(path);
            return PathKind::NotALibrary;
        }
        return PathKind::Missing;
    }
    if (!info.isDir()) {
        *error = QStringLiteral("%1 is a file, not a library folder.").arg(path);
        return PathKind::NotALibrary;
    }
    const QFileInfo store(QDir(path).filePath(Library::StoreFileName));
    if (store.exists() || store.isSymLink() || path.endsWith(Library::PackageSuffix))
        return PathKind::Package;
    if (QDir(path).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System))
        return PathKind::EmptyFolder;
    *error = QStringLiteral("%1 is not a Stashly library: it holds no library store and its name does not end in "
                            "\"%2\". Give a library, a path that does not exist yet or an empty folder.")
                 .arg(path, Library::PackageSuffix);
    return PathKind::NotALibrary;
}

} // namespace

const QStringList &Library::folderNames()
{
    static const QStringList names { QStringLiteral("Files"), QStringLiteral("Thumbnails"),
                                     QStringLiteral("StashInbox"), QStringLiteral("Temp") };
    return names;
}

Library::~Library()
{
    m_context.reset();
    m_lock.reset();
}

std::unique_ptr<Library> Library::open(const Request &request, QString *error)
{
    QString why;
    const auto fail = [&](const QString &message) {
        if (error)
            *error = message;
        return nullptr;
    };
    if (request.packagePath.trimmed().isEmpty())
        return fail(QStringLiteral("No library was given: the path is empty."));
    const QString path = QDir::cleanPath(QFileInfo(request.packagePath).absoluteFilePath());
    const bool change = request.access == Access::Change;

    const PathKind kind = classify(path, &why);
    if (kind == PathKind::NotALibrary)
        return fail(why);
    if (!change && kind != PathKind::Package)
        return fail(QStringLiteral("There is no library at %1.").arg(path));

    std::unique_ptr<Library> library(new Library);
    library->m_package = path;
    library->m_access = request.access;
    if (kind == PathKind::Missing) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        if (!QDir().mkdir(path))
            return fail(QStringLiteral("The library folder %1 could not be created.").arg(path));
    }
    library->m_isNew = kind != PathKind::Package;

    if (change) {
        LibraryLock::Result lock = LibraryLock::acquire(path, request.waitMs);
        if (lock.status != LibraryLock::Status::Acquired)
            return fail(lock.message);
        library->m_lock = std::move(lock.lock);
        if (request.admit && !request.admit(path, &why))
            return fail(why);
        QDir package(path);
        for (const QString &folder : folderNames()) {
            if (QFileInfo(package.filePath(folder)).isDir())
                continue;
            if (!package.mkdir(folder))
                return fail(
                    QStringLiteral("The folder %1 of the library could not be made.").arg(package.filePath(folder)));
            // A new package gets its folders now; in an older one a missing
            // folder means an interrupted first run, or a hand that removed it.
            if (!library->m_isNew)
                Log::always(QStringLiteral("Stashly 2: folder %1 was missing and has been made again")
                                .arg(package.filePath(folder)));
        }
    }

    Record::registerClass();
    library->m_context = ManagedObjectContext::open(
        QDir(path).filePath(StoreFileName),
        change ? ManagedObjectContext::OpenMode::CreateIfMissing : ManagedObjectContext::OpenMode::ReadOnly, &why);
    if (!library->m_context)
        return fail(why);

    if (change && library->m_context->storeMetadata(DefaultsMarkerKey).isEmpty()) {
        // Libraries from before the marker have their defaults when they have a
        // smart folder (the last one can never be removed).
        FetchRequest folders { QStringLiteral("SmartFolder"), {}, {}, 1 };
        if (library->m_context->countForFetchRequest(folders) > 0) {
            library->m_context->setStoreMetadata(DefaultsMarkerKey, QStringLiteral("1"));
            if (!library->m_context->save(&why))
                return fail(why);
        } else {
            library->m_needsDefaults = true;
        }
    }
    return library;
}
