#include "store/SQLiteStore.h"

#include "store/StoreFileCheck.h"
#include "store/StoreLoader.h"
#include "store/StoreSchema.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QUuid>

#include <atomic>

namespace {

std::function<void()> &beforeCommitHook()
{
    static std::function<void()> hook;
    return hook;
}

QString nextConnectionName()
{
    static std::atomic<int> counter { 0 };
    return QStringLiteral("stashly-store-%1").arg(++counter);
}

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QVariant toColumn(const QVariant &value, AttributeDescription::Type type)
{
    using Type = AttributeDescription::Type;
    if (!value.isValid())
        return QVariant();
    switch (type) {
    case Type::Boolean:
        return int(value.toBool());
    case Type::Date:
        return qlonglong(value.toDateTime().toMSecsSinceEpoch());
    default:
        return value;
    }
}

} // namespace

void SQLiteStore::setBeforeCommitHook(std::function<void()> hook)
{
    beforeCommitHook() = std::move(hook);
}

SQLiteStore::SQLiteStore(const ManagedObjectModel &model)
    : m_model(model)
{
}

SQLiteStore::~SQLiteStore()
{
    disconnect();
}

bool SQLiteStore::connect(const QString &file, bool readOnly, QString *error)
{
    m_readFile = file;
    m_connectionName = nextConnectionName();
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(file);
    if (readOnly)
        m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!m_db.open()) {
        setError(error,
                 QStringLiteral("The library store \"%1\" cannot be opened: %2").arg(m_path, m_db.lastError().text()));
        return false;
    }
    return true;
}

void SQLiteStore::disconnect()
{
    if (m_connectionName.isEmpty())
        return;
    m_statements.clear();
    if (m_writing && m_db.isOpen()) {
        // Moves the log's pages into the file and removes the log.
        QSqlQuery q(m_db);
        q.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
    }
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
    m_connectionName.clear();
}

bool SQLiteStore::create(const QString &path, const ManagedObjectModel &model, QString *error)
{
    // The schema is made under another name and moved into place once complete,
    // so an interrupted creation never leaves a half-made `sqldata`.
    const QString building = path + QStringLiteral(".creating");
    QFile::remove(building);
    QFile::remove(building + QStringLiteral("-journal"));
    bool ok = false;
    {
        SQLiteStore maker(model);
        maker.m_path = path;
        if (maker.connect(building, false, error)) {
            QSqlQuery q(maker.m_db);
            // Texts are read back as UTF-16: stored so, they need no conversion on
            // every open, which keeps opening a large library quick.
            ok = q.exec(QStringLiteral("PRAGMA encoding = 'UTF-16le'")) && maker.m_db.transaction();
            const QStringList sql = StoreSchema::createStatements(model, model.version(),
                                                                  QUuid::createUuid().toString(QUuid::WithoutBraces));
            for (const QString &statement : sql)
                ok = ok && q.exec(statement);
            ok = ok && maker.m_db.commit();
            if (!ok)
                setError(
                    error,
                    QStringLiteral("The library store \"%1\" cannot be created: %2").arg(path, q.lastError().text()));
        }
    }
    if (ok && !QFile::rename(building, path)) {
        setError(error, QStringLiteral("The library store \"%1\" cannot be created.").arg(path));
        ok = false;
    }
    if (!ok)
        QFile::remove(building);
    return ok;
}

std::unique_ptr<SQLiteStore> SQLiteStore::open(const QString &path, OpenMode mode, const ManagedObjectModel &model,
                                               QString *error)
{
    if (!QFileInfo::exists(path) && mode == OpenMode::CreateIfMissing && !create(path, model, error))
        return nullptr;
    const StoreFileCheck::Result check = StoreFileCheck::check(path, model);
    if (check.status != StoreFileCheck::Status::Ok) {
        setError(error, check.message);
        return nullptr;
    }
    std::unique_ptr<SQLiteStore> store(new SQLiteStore(model));
    store->m_path = path;
    store->m_uuid = check.uuid;
    store->m_fileVersion = check.version;
    store->m_metadata = check.metadata;
    if (mode == OpenMode::ReadOnly) {
        store->m_readOnly = true;
        store->m_recoveredCopy = check.recoveredFolder;
        if (!store->connect(check.recoveredFolder ? check.recoveredFile : path, true, error))
            return nullptr;
        return store;
    }
    if (!store->connect(path, false, error))
        return nullptr;
    return store;
}

bool SQLiteStore::beginWriting(QString *error)
{
    if (m_readOnly || m_writing)
        return true;
    if (m_fileVersion < m_model.version()) {
        QString why;
        if (!m_db.transaction() || !StoreSchema::migrate(m_db, m_model, &why) || !m_db.commit()) {
            m_db.rollback();
            setError(error,
                     QStringLiteral("The library store \"%1\" could not be brought up to date: %2")
                         .arg(m_path, why.isEmpty() ? m_db.lastError().text() : why));
            return false;
        }
    }
    // While open, a write-ahead log: a commit is one append and one sync, and a
    // process killed during a save leaves the log's last commit as the state.
    // Full sync makes every commit durable. Closing turns the log back into the
    // file (see disconnect), so that a store at rest is one self-contained file.
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !q.exec(QStringLiteral("PRAGMA synchronous = FULL"))) {
        setError(error,
                 QStringLiteral("The library store \"%1\" cannot be opened: %2").arg(m_path, q.lastError().text()));
        return false;
    }
    m_writing = true;
    return true;
}

bool SQLiteStore::load(LoadTarget &target, QString *error)
{
    QString why;
    if (StoreLoader(m_model, m_readFile, m_db).load(target, &why))
        return true;
    setError(error, why);
    return false;
}

QSqlQuery &SQLiteStore::statement(const QString &sql)
{
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        auto query = std::make_unique<QSqlQuery>(m_db);
        query->prepare(sql);
        it = m_statements.emplace(sql, std::move(query)).first;
    }
    return *it->second;
}

bool SQLiteStore::writeRow(const RowChange &change, QString *error)
{
    const EntityDescription &entity = m_model.entities().at(change.entity);
    const QString table = StoreSchema::quoted(StoreSchema::entityTable(entity));
    auto run = [error](QSqlQuery &q) {
        if (q.exec())
            return true;
        setError(error, q.lastError().text());
        return false;
    };
    if (change.kind == RowChange::Kind::Delete) {
        QSqlQuery &row = statement(QStringLiteral("DELETE FROM %1 WHERE pk = ?").arg(table));
        row.bindValue(0, change.primaryKey);
        if (!run(row))
            return false;
        for (const RelationshipDescription &r : entity.relationships()) {
            QSqlQuery &q = statement(QStringLiteral("DELETE FROM %1 WHERE owner = ?")
                                         .arg(StoreSchema::quoted(StoreSchema::joinTable(entity, r))));
            q.bindValue(0, change.primaryKey);
            if (!run(q))
                return false;
        }
        // Owners drop a deleted member themselves; this catches any row left over.
        for (const EntityDescription &owner : m_model.entities()) {
            for (const RelationshipDescription &r : owner.relationships()) {
                if (r.destinationEntity != entity.name())
                    continue;
                QSqlQuery &q = statement(QStringLiteral("DELETE FROM %1 WHERE member = ?")
                                             .arg(StoreSchema::quoted(StoreSchema::joinTable(owner, r))));
                q.bindValue(0, change.primaryKey);
                if (!run(q))
                    return false;
            }
        }
        return true;
    }
    if (change.values) {
        const QList<AttributeDescription> &attributes = entity.attributes();
        const bool insert = change.kind == RowChange::Kind::Insert;
        QStringList columns;
        for (const AttributeDescription &a : attributes)
            columns.append(insert ? StoreSchema::quoted(a.name) : StoreSchema::quoted(a.name) + QStringLiteral(" = ?"));
        // A plain INSERT: a row of that key already there is an error, never
        // a record silently written over.
        const QString sql = insert
            ? QStringLiteral("INSERT INTO %1 (pk, %2) VALUES (?%3)")
                  .arg(table, columns.join(QLatin1Char(',')), QStringLiteral(",?").repeated(attributes.size()))
            : QStringLiteral("UPDATE %1 SET %2 WHERE pk = ?").arg(table, columns.join(QLatin1Char(',')));
        QSqlQuery &row = statement(sql);
        int position = 0;
        if (insert)
            row.bindValue(position++, change.primaryKey);
        for (int a = 0; a < attributes.size(); ++a)
            row.bindValue(position++, toColumn(change.values[a], attributes.at(a).type));
        if (!insert)
            row.bindValue(position, change.primaryKey);
        if (!run(row))
            return false;
        if (!insert && row.numRowsAffected() != 1) {
            setError(
                error,
                QStringLiteral("the %1 object %2 is no longer in the file").arg(entity.name()).arg(change.primaryKey));
            return false;
        }
    }
    for (const auto &[r, members] : change.relationships) {
        const QString join = StoreSchema::quoted(StoreSchema::joinTable(entity, entity.relationships().at(r)));
        QSqlQuery &clear = statement(QStringLiteral("DELETE FROM %1 WHERE owner = ?").arg(join));
        clear.bindValue(0, change.primaryKey);
        if (!run(clear))
            return false;
        QSqlQuery &add = statement(QStringLiteral("INSERT INTO %1 (owner, member) VALUES (?, ?)").arg(join));
        for (qint64 member : members) {
            add.bindValue(0, change.primaryKey);
            add.bindValue(1, member);
            if (!run(add))
                return false;
        }
    }
    return true;
}

bool SQLiteStore::save(const std::vector<RowChange> &changes, const std::vector<KeyRange> &keys, QString *error)
{
    if (m_readOnly) {
        setError(error, QStringLiteral("The library store \"%1\" was opened read-only.").arg(m_path));
        return false;
    }
    if (!beginWriting(error))
        return false;
    if (!m_db.transaction()) {
        setError(error, m_db.lastError().text());
        return false;
    }
    QString why;
    bool ok = true;
    // Keys come from what this store read. If the file has handed out more
    // since, another program wrote it: stop before a row could be overwritten.
    QSqlQuery &stored
        = statement(QStringLiteral("SELECT maxpk FROM %1 WHERE entity = ?").arg(StoreSchema::primaryKeyTable()));
    for (const KeyRange &k : keys) {
        stored.bindValue(0, m_model.entities().at(k.entity).name());
        if (!stored.exec()) {
            why = stored.lastError().text();
            ok = false;
            break;
        }
        const qint64 onFile = stored.next() ? stored.value(0).toLongLong() : 0;
        stored.finish();
        if (onFile > k.loaded) {
            why = QStringLiteral("another program has added %1 objects since this one opened the library")
                      .arg(m_model.entities().at(k.entity).name());
            ok = false;
            break;
        }
    }
    for (const RowChange &change : changes)
        if (!ok || !(ok = writeRow(change, &why)))
            break;
    if (ok) {
        QSqlQuery &maxima = statement(QStringLiteral("INSERT OR REPLACE INTO %1 (entity, maxpk) VALUES (?, ?)")
                                          .arg(StoreSchema::primaryKeyTable()));
        for (const KeyRange &k : keys) {
            maxima.bindValue(0, m_model.entities().at(k.entity).name());
            maxima.bindValue(1, k.highest);
            if (!maxima.exec()) {
                why = maxima.lastError().text();
                ok = false;
                break;
            }
        }
    }
    if (ok && !m_pendingMetadata.isEmpty()) {
        QSqlQuery &meta = statement(
            QStringLiteral("INSERT OR REPLACE INTO %1 (key, value) VALUES (?, ?)").arg(StoreSchema::metadataTable()));
        for (auto it = m_pendingMetadata.cbegin(); ok && it != m_pendingMetadata.cend(); ++it) {
            meta.bindValue(0, it.key());
            meta.bindValue(1, it.value());
            if (!meta.exec()) {
                why = meta.lastError().text();
                ok = false;
            }
        }
    }
    if (ok && beforeCommitHook())
        beforeCommitHook()();
    if (ok && !m_db.commit()) {
        why = m_db.lastError().text();
        ok = false;
    }
    if (!ok) {
        m_db.rollback();
        setError(error, QStringLiteral("The library store \"%1\" could not be written: %2").arg(m_path, why));
        return false;
    }
    for (auto it = m_pendingMetadata.cbegin(); it != m_pendingMetadata.cend(); ++it)
        m_metadata.insert(it.key(), it.value());
    m_pendingMetadata.clear();
    return true;
}
