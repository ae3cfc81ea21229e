#pragma once

#include "store/ManagedObjectModel.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class QTemporaryDir;

// The store file `sqldata`: one table per entity, one join table per to-many
// relationship, and a metadata table with our identifier, the model version and
// the store's UUID. Opening checks the file read-only first; a file that is not
// ours, is damaged or comes from a newer version is reported and never written.
// Older versions gain the missing tables and columns in one transaction. Every
// save is one transaction (write-ahead log while open, full sync), so a process
// killed during a save leaves the last saved state.
class SQLiteStore
{
public:
    enum class OpenMode {
        CreateIfMissing, // make a new store when there is no file
        OpenExisting, // the file must exist
        ReadOnly, // never write: no migration, no saves
    };

    // Receives the stored rows at load time.
    class LoadTarget
    {
    public:
        virtual ~LoadTarget() = default;
        // Called first for every entity with rows: its highest primary key. False
        // refuses the file (an impossible key).
        virtual bool reserve(int entity, qint64 maxPrimaryKey) = 0;
        // The value array to fill for a new object of the entity (by model
        // position); none refuses the file. Runs on two threads at once, never
        // twice for the same object.
        virtual QVariant *addRow(int entity, qint64 primaryKey) = 0;
        virtual void addMember(int entity, int relationship, qint64 owner, qint64 member) = 0;
        virtual void setMaxPrimaryKey(int entity, qint64 primaryKey) = 0;
    };

    // One object to write at save.
    struct RowChange
    {
        enum class Kind { Insert, Update, Delete };
        int entity = -1;
        qint64 primaryKey = 0;
        Kind kind = Kind::Update;
        const QVariant *values = nullptr; // all attribute values; null: attributes unchanged
        // Relationships whose member lists are written anew: index and member keys.
        std::vector<std::pair<int, std::vector<qint64>>> relationships;
    };

    static std::unique_ptr<SQLiteStore> open(const QString &path, OpenMode mode, const ManagedObjectModel &model,
                                             QString *error);
    ~SQLiteStore();
    SQLiteStore(const SQLiteStore &) = delete;
    SQLiteStore &operator=(const SQLiteStore &) = delete;

    const QString &path() const { return m_path; }
    const QString &uuid() const { return m_uuid; }
    bool isReadOnly() const { return m_readOnly; }
    // The model version the file had when it was opened (before any migration).
    int fileVersion() const { return m_fileVersion; }

    // Reads every object. Until beginWriting, nothing has been written to the
    // file, so a store found damaged while loading is left as it was.
    bool load(LoadTarget &target, QString *error);
    // Brings an older file up to date and makes it ready for saves.
    bool beginWriting(QString *error);
    // The highest primary key of an entity: the one the file held when this
    // store read it, and the one to record now.
    struct KeyRange
    {
        int entity = -1;
        qint64 loaded = 0;
        qint64 highest = 0;
    };

    // Writes the changes, the highest primary keys handed out and the pending
    // metadata, all or nothing. New objects are inserted, never written over a
    // row: a key that the file has already used (another program saved since
    // this one read it) fails the save and loses nothing.
    bool save(const std::vector<RowChange> &changes, const std::vector<KeyRange> &keys, QString *error);

    // An entry of the file's metadata table; empty when there is none.
    QString metadata(const QString &key) const { return m_metadata.value(key); }
    // Written with the next save, in its transaction.
    void setMetadata(const QString &key, const QString &value) { m_pendingMetadata.insert(key, value); }
    bool hasPendingMetadata() const { return !m_pendingMetadata.isEmpty(); }

    // Test hook: runs inside every save transaction just before the commit.
    static void setBeforeCommitHook(std::function<void()> hook);

private:
    SQLiteStore(const ManagedObjectModel &model);
    bool connect(const QString &file, bool readOnly, QString *error);
    void disconnect();
    static bool create(const QString &path, const ManagedObjectModel &model, QString *error);
    bool writeRow(const RowChange &change, QString *error);
    QSqlQuery &statement(const QString &sql);

    const ManagedObjectModel &m_model;
    QString m_path;
    QString m_readFile; // the file itself, or its recovered copy
    QString m_uuid;
    QString m_connectionName;
    QSqlDatabase m_db;
    std::shared_ptr<QTemporaryDir> m_recoveredCopy;
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> m_statements;
    bool m_readOnly = false;
    bool m_writing = false;
    int m_fileVersion = 0;
    QHash<QString, QString> m_metadata;
    QHash<QString, QString> m_pendingMetadata;
};
