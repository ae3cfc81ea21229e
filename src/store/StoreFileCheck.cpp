#include "store/StoreFileCheck.h"

#include "store/StoreSchema.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <atomic>

namespace {

QString nextConnectionName()
{
    static std::atomic<int> counter { 0 };
    return QStringLiteral("stashly-check-%1").arg(++counter);
}

StoreFileCheck::Result failure(StoreFileCheck::Status status, const QString &message)
{
    StoreFileCheck::Result r;
    r.status = status;
    r.message = message;
    return r;
}

QString notAStore(const QString &path)
{
    return QStringLiteral("The file \"%1\" is not a Stashly library store.").arg(path);
}

QString damaged(const QString &path, const QString &detail)
{
    return QStringLiteral("The library store \"%1\" is damaged and cannot be opened: %2").arg(path, detail);
}

bool hasSideFile(const QString &path, const char *suffix)
{
    const QFileInfo info(path + QLatin1String(suffix));
    return info.exists() && info.size() > 0;
}

} // namespace

bool StoreFileCheck::needsRecovery(const QString &path)
{
    return hasSideFile(path, "-journal") || hasSideFile(path, "-wal");
}

StoreFileCheck::Result StoreFileCheck::check(const QString &path, const ManagedObjectModel &model)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return failure(Status::Missing, QStringLiteral("There is no library store at \"%1\".").arg(path));
    // Opening a pipe would wait for a writer, and a link could lead the saves
    // out of the package: the store is a plain file or nothing.
    if (info.isSymLink())
        return failure(Status::Unreadable,
                       QStringLiteral("The library store \"%1\" is a symbolic link, not a file.").arg(path));
    if (info.isDir())
        return failure(Status::Unreadable,
                       QStringLiteral("The library store \"%1\" is a folder, not a file.").arg(path));
    if (!info.isFile())
        return failure(
            Status::Unreadable,
            QStringLiteral("The library store \"%1\" is not a regular file (a pipe, socket or device).").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Status::Unreadable,
                       QStringLiteral("The library store \"%1\" cannot be read: %2").arg(path, file.errorString()));
    const QByteArray header = file.read(100);
    file.close();
    // An SQLite file starts with this text and is at least one page long.
    if (!header.startsWith(QByteArray("SQLite format 3\0", 16)) || info.size() < 512)
        return failure(Status::NotAStore, notAStore(path));

    // A write-ahead-log file (header bytes 18 and 19) or a file with a hot
    // journal can only be read by recovering it, which writes: do that on a copy.
    const bool walMode = header.size() >= 20 && (header.at(18) == 2 || header.at(19) == 2);
    if (!needsRecovery(path) && !walMode)
        return checkConnection(path, true, path, model);

    auto folder = std::make_shared<QTemporaryDir>();
    const QString copy = folder->filePath(QStringLiteral("sqldata"));
    bool copied = folder->isValid() && QFile::copy(path, copy);
    for (const char *suffix : { "-journal", "-wal" })
        if (copied && QFileInfo::exists(path + QLatin1String(suffix)))
            copied = QFile::copy(path + QLatin1String(suffix), copy + QLatin1String(suffix));
    if (!copied)
        return failure(Status::Unreadable,
                       QStringLiteral("The library store \"%1\" cannot be read: its last save was interrupted and "
                                      "there is no room to check it")
                           .arg(path));
    Result r = checkConnection(copy, false, path, model);
    r.recoveredFolder = folder;
    r.recoveredFile = copy;
    return r;
}

StoreFileCheck::Result StoreFileCheck::checkConnection(const QString &file, bool readOnly, const QString &shownPath,
                                                       const ManagedObjectModel &model)
{
    Result r;
    const QString name = nextConnectionName();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        r = [&]() -> Result {
            if (!db.open())
                return failure(Status::Unreadable,
                               QStringLiteral("The library store \"%1\" cannot be read: %2")
                                   .arg(shownPath, db.lastError().text()));
            QSqlQuery q(db);
            q.setForwardOnly(true);
            if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = '%1'")
                            .arg(StoreSchema::metadataTable()))
                || !q.next())
                return failure(Status::Damaged, damaged(shownPath, q.lastError().text()));
            if (q.value(0).toInt() != 1)
                return failure(Status::NotAStore, notAStore(shownPath));
            QHash<QString, QString> meta;
            if (!q.exec(QStringLiteral("SELECT key, value FROM %1").arg(StoreSchema::metadataTable())))
                return failure(Status::Damaged, damaged(shownPath, q.lastError().text()));
            while (q.next())
                meta.insert(q.value(0).toString(), q.value(1).toString());
            if (meta.value(QStringLiteral("identifier")) != StoreSchema::storeIdentifier())
                return failure(Status::NotAStore, notAStore(shownPath));
            bool ok = false;
            const int version = meta.value(QStringLiteral("modelVersion")).toInt(&ok);
            if (!ok || version < 1)
                return failure(Status::Damaged, damaged(shownPath, QStringLiteral("its version is unreadable")));
            if (version > model.version())
                return failure(Status::Newer,
                               QStringLiteral("The library store \"%1\" was made by a newer version of Stashly "
                                              "(store version %2; this version reads versions up to %3).")
                                   .arg(shownPath)
                                   .arg(version)
                                   .arg(model.version()));
            const QUuid uuid = QUuid::fromString(meta.value(QStringLiteral("storeUUID")));
            if (uuid.isNull())
                return failure(Status::Damaged, damaged(shownPath, QStringLiteral("its identity is unreadable")));
            // A file with a table or column gone would open as a library with
            // nothing in it, and every save would fail.
            if (const QString missing = StoreSchema::missingPart(db, model, version); !missing.isEmpty())
                return failure(Status::Damaged, damaged(shownPath, missing));
            if (!q.exec(QStringLiteral("PRAGMA quick_check")) || !q.next())
                return failure(Status::Damaged, damaged(shownPath, q.lastError().text()));
            if (q.value(0).toString() != QLatin1String("ok"))
                return failure(Status::Damaged, damaged(shownPath, q.value(0).toString()));
            Result good;
            good.status = Status::Ok;
            good.version = version;
            good.uuid = uuid.toString(QUuid::WithoutBraces);
            good.metadata = meta;
            return good;
        }();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return r;
}
