#pragma once

#include "store/FetchRequest.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectModel.h"
#include "store/ObjectID.h"
#include "store/SQLiteStore.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class UndoManager;

// The one editing context: every object of the store, held in memory after
// opening, with insert, fetch, delete and save. Each change is recorded three
// ways: for the next save (only changed rows are written, in one transaction),
// as an inverse operation on the undo manager, and for the change notification
// ManagedObjectContextObjectsDidChange (payload "inserted", "updated",
// "deleted": lists of objects), posted once per event-loop turn or at
// processPendingChanges(). Main thread only.
class ManagedObjectContext
{
public:
    using OpenMode = SQLiteStore::OpenMode;

    // Payload keys of ManagedObjectContextObjectsDidChange.
    inline static const QString InsertedKey = QStringLiteral("inserted");
    inline static const QString UpdatedKey = QStringLiteral("updated");
    inline static const QString DeletedKey = QStringLiteral("deleted");

    // Opens the store file at `path`; none, with the reason in `error`, when it
    // cannot be opened (not a store, damaged, newer, unreadable, or missing
    // unless it may be created).
    static std::unique_ptr<ManagedObjectContext> open(const QString &path, OpenMode mode, QString *error,
                                                      const ManagedObjectModel *model = nullptr);
    ~ManagedObjectContext();
    ManagedObjectContext(const ManagedObjectContext &) = delete;
    ManagedObjectContext &operator=(const ManagedObjectContext &) = delete;

    const ManagedObjectModel &model() const { return m_model; }
    const QString &storeUUID() const { return m_store->uuid(); }
    const QString &storePath() const { return m_store->path(); }
    bool isReadOnly() const { return m_store->isReadOnly(); }

    // A new object of the entity; none for an unknown entity. Undoable; stored
    // at the next save.
    ManagedObject *insertNewObject(const QString &entityName);
    // Deletes the object; owned members (a record's custom field values and
    // attachment entries, a category's templates, a policy's coverages) go with
    // it, and it leaves every set it belonged to. One undoable change.
    void deleteObject(ManagedObject *object);

    QList<ManagedObject *> executeFetchRequest(const FetchRequest &request, QString *error = nullptr) const;
    int countForFetchRequest(const FetchRequest &request, QString *error = nullptr) const;

    // The live object with that identifier, or none.
    ManagedObject *objectWithID(const ObjectID &id) const;
    // The identifier a URI text names when it is one of this store's; none otherwise.
    std::optional<ObjectID> managedObjectIDForURIRepresentation(const QString &uri) const;

    bool hasChanges() const { return !m_dirty.empty() || m_store->hasPendingMetadata(); }

    // Entries of the store's own metadata (not objects, not undoable); a value
    // set is written by the next save, in the same transaction as the objects.
    QString storeMetadata(const QString &key) const { return m_store->metadata(key); }
    void setStoreMetadata(const QString &key, const QString &value) { m_store->setMetadata(key, value); }
    // Posts the change notification for the changes made so far.
    void processPendingChanges();
    // Ends editing in the interface, processes pending changes and writes every
    // change in one transaction. On failure the changes stay in memory (a later
    // save writes them) and `error` describes the failure.
    bool save(QString *error = nullptr);

    // The context starts with an undo manager of its own.
    UndoManager *undoManager() const { return m_undoManager; }
    // Another undo manager (the program's); none switches undo off for this context.
    void setUndoManager(UndoManager *undoManager);

    // The interface's "end editing", run first by every save.
    void setCommitEditingHandler(std::function<void()> handler) { m_commitEditing = std::move(handler); }
    void commitEditing();

private:
    friend class ManagedObject;
    friend class ToManySet;
    class Loader;

    struct EntityTable
    {
        const EntityDescription *entity = nullptr;
        std::vector<std::unique_ptr<ManagedObject>> byPrimaryKey; // index = primary key
        qint64 maxPrimaryKey = 0;
        qint64 savedMaxPrimaryKey = 0;
    };
    enum Pending : quint8 { PendingInserted = 1, PendingUpdated = 2, PendingDeleted = 4, PendingListed = 8 };

    ManagedObjectContext(const ManagedObjectModel &model, std::unique_ptr<SQLiteStore> store);

    void attributeDidChange(ManagedObject *object, int attributeIndex, const QVariant &previous);
    bool addMember(ManagedObject *owner, int relationship, ManagedObject *member);
    bool removeMember(ManagedObject *owner, int relationship, ManagedObject *member);
    void markDeleted(ManagedObject *object);
    void markReinserted(ManagedObject *object);
    void markDirty(ManagedObject *object);
    void notePending(ManagedObject *object, Pending what);
    void scheduleProcessPendingChanges();
    void registerUndo(std::function<void()> action);
    EntityTable *table(const QString &entityName);
    const EntityTable *table(const QString &entityName) const;

    const ManagedObjectModel &m_model;
    std::unique_ptr<SQLiteStore> m_store;
    // Declared before the objects so that it outlives them.
    std::unique_ptr<UndoManager> m_ownUndoManager;
    UndoManager *m_undoManager = nullptr;
    std::vector<EntityTable> m_tables;
    std::vector<ManagedObject *> m_dirty;
    std::vector<ManagedObject *> m_pending;
    std::function<void()> m_commitEditing;
    bool m_processScheduled = false;
    bool m_trackingSuspended = false;
    QObject m_timerOwner;
};
