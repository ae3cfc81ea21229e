#include "store/ManagedObjectContext.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "store/Stashly2_DataModel.h"
#include "store/UndoManager.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>

namespace {

// Primary keys index a vector; a key beyond this means the file is damaged.
constexpr qint64 kLargestPrimaryKey = qint64(1) << 24;

} // namespace

// Builds the objects from the stored rows.
class ManagedObjectContext::Loader : public SQLiteStore::LoadTarget
{
public:
    explicit Loader(ManagedObjectContext &context)
        : m_context(context)
    {
    }

    bool reserve(int entity, qint64 maxPrimaryKey) override
    {
        if (maxPrimaryKey < 0 || maxPrimaryKey > kLargestPrimaryKey)
            return false;
        EntityTable &t = m_context.m_tables[size_t(entity)];
        t.byPrimaryKey.resize(size_t(maxPrimaryKey) + 1);
        t.maxPrimaryKey = std::max(t.maxPrimaryKey, maxPrimaryKey);
        return true;
    }

    // Runs on the loading threads: touches only the object's own slot.
    QVariant *addRow(int entity, qint64 primaryKey) override
    {
        EntityTable &t = m_context.m_tables[size_t(entity)];
        if (primaryKey <= 0 || size_t(primaryKey) >= t.byPrimaryKey.size() || t.byPrimaryKey[size_t(primaryKey)])
            return nullptr;
        std::unique_ptr<ManagedObject> object = ManagedObject::create(*t.entity);
        object->attach(&m_context, t.entity, primaryKey);
        object->m_inStore = true;
        QVariant *values = object->m_values.get();
        t.byPrimaryKey[size_t(primaryKey)] = std::move(object);
        return values;
    }

    void addMember(int entity, int relationship, qint64 owner, qint64 member) override
    {
        ManagedObject *o = find(entity, owner);
        const EntityDescription &description = *m_context.m_tables[size_t(entity)].entity;
        ManagedObject *m = find(
            m_context.m_model.entityIndex(description.relationships().at(relationship).destinationEntity), member);
        if (!o || !m)
            return; // a row naming a vanished object links nothing
        o->m_members[relationship].push_back(m);
        m->m_owners.push_back({ o, relationship });
    }

    void setMaxPrimaryKey(int entity, qint64 primaryKey) override
    {
        EntityTable &t = m_context.m_tables[size_t(entity)];
        t.maxPrimaryKey = std::max(t.maxPrimaryKey, std::min(primaryKey, kLargestPrimaryKey));
    }

private:
    ManagedObject *find(int entity, qint64 primaryKey) const
    {
        if (entity < 0)
            return nullptr;
        const EntityTable &t = m_context.m_tables[size_t(entity)];
        if (primaryKey <= 0 || size_t(primaryKey) >= t.byPrimaryKey.size())
            return nullptr;
        return t.byPrimaryKey[size_t(primaryKey)].get();
    }

    ManagedObjectContext &m_context;
};

ManagedObjectContext::ManagedObjectContext(const ManagedObjectModel &model, std::unique_ptr<SQLiteStore> store)
    : m_model(model)
    , m_store(std::move(store))
    , m_ownUndoManager(std::make_unique<UndoManager>())
    , m_undoManager(m_ownUndoManager.get())
{
    m_tables.resize(size_t(model.entities().size()));
    for (int e = 0; e < model.entities().size(); ++e)
        m_tables[size_t(e)].entity = &model.entities().at(e);
}

ManagedObjectContext::~ManagedObjectContext()
{
    if (m_undoManager)
        m_undoManager->removeAllActionsWithTarget(this);
}

std::unique_ptr<ManagedObjectContext> ManagedObjectContext::open(const QString &path, OpenMode mode, QString *error,
                                                                 const ManagedObjectModel *model)
{
    const ManagedObjectModel &m = model ? *model : Stashly2_DataModel::model();
    std::unique_ptr<SQLiteStore> store = SQLiteStore::open(path, mode, m, error);
    if (!store)
        return nullptr;
    std::unique_ptr<ManagedObjectContext> context(new ManagedObjectContext(m, std::move(store)));
    Loader loader(*context);
    if (!context->m_store->load(loader, error) || !context->m_store->beginWriting(error))
        return nullptr;
    for (EntityTable &t : context->m_tables) {
        t.savedMaxPrimaryKey = t.maxPrimaryKey;
        t.byPrimaryKey.resize(size_t(t.maxPrimaryKey) + 1);
    }
    // Values an object derives while waking (a record's warranty) are caches of
    // what was read: they neither dirty the object nor make an undo step.
    context->m_trackingSuspended = true;
    for (EntityTable &t : context->m_tables)
        for (const std::unique_ptr<ManagedObject> &object : t.byPrimaryKey)
            if (object)
                object->awakeFromFetch();
    context->m_trackingSuspended = false;
    return context;
}

ManagedObjectContext::EntityTable *ManagedObjectContext::table(const QString &entityName)
{
    const int e = m_model.entityIndex(entityName);
    return e < 0 ? nullptr : &m_tables[size_t(e)];
}

const ManagedObjectContext::EntityTable *ManagedObjectContext::table(const QString &entityName) const
{
    const int e = m_model.entityIndex(entityName);
    return e < 0 ? nullptr : &m_tables[size_t(e)];
}

void ManagedObjectContext::setUndoManager(UndoManager *undoManager)
{
    if (m_undoManager)
        m_undoManager->removeAllActionsWithTarget(this);
    m_undoManager = undoManager;
}

void ManagedObjectContext::registerUndo(std::function<void()> action)
{
    if (m_undoManager)
        m_undoManager->registerUndo(this, std::move(action));
}

ManagedObject *ManagedObjectContext::insertNewObject(const QString &entityName)
{
    EntityTable *t = table(entityName);
    if (!t || t->maxPrimaryKey >= kLargestPrimaryKey)
        return nullptr;
    const qint64 pk = ++t->maxPrimaryKey;
    std::unique_ptr<ManagedObject> created = ManagedObject::create(*t->entity);
    ManagedObject *object = created.get();
    object->attach(this, t->entity, pk);
    if (size_t(pk) >= t->byPrimaryKey.size())
        t->byPrimaryKey.resize(size_t(pk) + 1 + t->byPrimaryKey.size() / 2);
    t->byPrimaryKey[size_t(pk)] = std::move(created);
    markDirty(object);
    notePending(object, PendingInserted);
    registerUndo([this, object] { markDeleted(object); });
    object->awakeFromInsert();
    return object;
}

void ManagedObjectContext::deleteObject(ManagedObject *object)
{
    if (!object || object->m_context != this || object->m_deleted)
        return;
    object->prepareForDeletion();
    const QList<RelationshipDescription> &relationships = object->entity().relationships();
    for (int r = 0; r < relationships.size(); ++r) {
        if (relationships.at(r).deleteRule != RelationshipDescription::DeleteRule::Cascade)
            continue;
        const std::vector<ManagedObject *> owned = object->m_members[r];
        for (ManagedObject *member : owned)
            deleteObject(member);
    }
    const std::vector<ManagedObject::OwnerLink> owners = object->m_owners;
    for (const ManagedObject::OwnerLink &link : owners)
        removeMember(link.owner, link.relationship, object);
    for (int r = 0; r < relationships.size(); ++r) {
        const std::vector<ManagedObject *> shared = object->m_members[r];
        for (ManagedObject *member : shared)
            removeMember(object, r, member);
    }
    markDeleted(object);
}

void ManagedObjectContext::markDeleted(ManagedObject *object)
{
    object->m_deleted = true;
    markDirty(object);
    notePending(object, PendingDeleted);
    registerUndo([this, object] { markReinserted(object); });
}

void ManagedObjectContext::markReinserted(ManagedObject *object)
{
    object->m_deleted = false;
    // The row may have been removed by a save since: write it whole again.
    object->m_attributesChanged = true;
    object->m_changedRelationships = 0xff;
    markDirty(object);
    notePending(object, PendingInserted);
    registerUndo([this, object] { markDeleted(object); });
}

void ManagedObjectContext::attributeDidChange(ManagedObject *object, int attributeIndex, const QVariant &previous)
{
    if (m_trackingSuspended)
        return;
    object->m_attributesChanged = true;
    markDirty(object);
    notePending(object, PendingUpdated);
    registerUndo([object, attributeIndex, previous] { object->set(attributeIndex, previous); });
}

bool ManagedObjectContext::addMember(ManagedObject *owner, int relationship, ManagedObject *member)
{
    if (!owner || !member || owner->m_context != this || member->m_context != this || owner->m_deleted
        || member->m_deleted)
        return false;
    const RelationshipDescription &description = owner->entity().relationships().at(relationship);
    if (member->entityName() != description.destinationEntity)
        return false;
    std::vector<ManagedObject *> &members = owner->m_members[relationship];
    if (std::find(members.begin(), members.end(), member) != members.end())
        return true;
    members.push_back(member);
    member->m_owners.push_back({ owner, relationship });
    owner->m_changedRelationships |= quint8(1u << relationship);
    markDirty(owner);
    notePending(owner, PendingUpdated);
    registerUndo([this, owner, relationship, member] { removeMember(owner, relationship, member); });
    owner->didChangeToManyKey(description.name, ManagedObject::SetMutation::Add, member);
    return true;
}

bool ManagedObjectContext::removeMember(ManagedObject *owner, int relationship, ManagedObject *member)
{
    if (!owner || !member || owner->m_context != this)
        return false;
    std::vector<ManagedObject *> &members = owner->m_members[relationship];
    const auto it = std::find(members.begin(), members.end(), member);
    if (it == members.end())
        return false;
    members.erase(it);
    std::erase_if(member->m_owners, [owner, relationship](const ManagedObject::OwnerLink &link) {
        return link.owner == owner && link.relationship == relationship;
    });
    owner->m_changedRelationships |= quint8(1u << relationship);
    markDirty(owner);
    notePending(owner, PendingUpdated);
    registerUndo([this, owner, relationship, member] { addMember(owner, relationship, member); });
    owner->didChangeToManyKey(owner->entity().relationships().at(relationship).name, ManagedObject::SetMutation::Remove,
                              member);
    return true;
}

void ManagedObjectContext::markDirty(ManagedObject *object)
{
    if (object->m_dirty)
        return;
    object->m_dirty = true;
    m_dirty.push_back(object);
}

void ManagedObjectContext::notePending(ManagedObject *object, Pending what)
{
    quint8 &p = object->m_pending;
    switch (what) {
    case PendingInserted:
        p = (p & PendingDeleted) ? quint8((p & ~PendingDeleted) | PendingUpdated) : quint8(p | PendingInserted);
        break;
    case PendingUpdated:
        if (!(p & (PendingInserted | PendingDeleted)))
            p |= PendingUpdated;
        break;
    case PendingDeleted:
        p = (p & PendingInserted) ? quint8(p & ~PendingInserted) : quint8((p & ~PendingUpdated) | PendingDeleted);
        break;
    default:
        break;
    }
    if (!(p & PendingListed)) {
        p |= PendingListed;
        m_pending.push_back(object);
    }
    scheduleProcessPendingChanges();
}

void ManagedObjectContext::scheduleProcessPendingChanges()
{
    if (m_processScheduled || !QCoreApplication::instance())
        return;
    m_processScheduled = true;
    QTimer::singleShot(0, &m_timerOwner, [this] {
        m_processScheduled = false;
        processPendingChanges();
    });
}

void ManagedObjectContext::processPendingChanges()
{
    if (m_pending.empty())
        return;
    const std::vector<ManagedObject *> pending = std::exchange(m_pending, {});
    QVariantList inserted, updated, deleted;
    for (ManagedObject *object : pending) {
        const quint8 p = std::exchange(object->m_pending, 0);
        if (p & PendingInserted)
            inserted.append(QVariant::fromValue(object));
        else if (p & PendingDeleted)
            deleted.append(QVariant::fromValue(object));
        else if (p & PendingUpdated)
            updated.append(QVariant::fromValue(object));
    }
    if (inserted.isEmpty() && updated.isEmpty() && deleted.isEmpty())
        return;
    EventBus::instance().post(Events::ManagedObjectContextObjectsDidChange, this,
                              { { InsertedKey, inserted }, { UpdatedKey, updated }, { DeletedKey, deleted } });
}

void ManagedObjectContext::commitEditing()
{
    if (m_commitEditing)
        m_commitEditing();
}

bool ManagedObjectContext::save(QString *error)
{
    commitEditing();
    processPendingChanges();
    std::vector<SQLiteStore::RowChange> changes;
    changes.reserve(m_dirty.size());
    for (ManagedObject *object : m_dirty) {
        SQLiteStore::RowChange change;
        change.entity = m_model.entityIndex(object->entityName());
        change.primaryKey = object->m_primaryKey;
        if (object->m_deleted) {
            if (!object->m_inStore)
                continue;
            change.kind = SQLiteStore::RowChange::Kind::Delete;
            changes.push_back(std::move(change));
            continue;
        }
        change.kind = object->m_inStore ? SQLiteStore::RowChange::Kind::Update : SQLiteStore::RowChange::Kind::Insert;
        if (!object->m_inStore || object->m_attributesChanged)
            change.values = object->m_values.get();
        const int relationshipCount = int(object->entity().relationships().size());
        for (int r = 0; r < relationshipCount; ++r) {
            if (object->m_inStore && !(object->m_changedRelationships & (1u << r)))
                continue;
            std::vector<qint64> keys;
            keys.reserve(object->m_members[r].size());
            for (const ManagedObject *member : object->m_members[r])
                keys.push_back(member->m_primaryKey);
            change.relationships.emplace_back(r, std::move(keys));
        }
        if (change.values || !change.relationships.empty())
            changes.push_back(std::move(change));
    }
    std::vector<SQLiteStore::KeyRange> keys;
    for (size_t e = 0; e < m_tables.size(); ++e)
        if (m_tables[e].maxPrimaryKey != m_tables[e].savedMaxPrimaryKey)
            keys.push_back({ int(e), m_tables[e].savedMaxPrimaryKey, m_tables[e].maxPrimaryKey });
    if (changes.empty() && keys.empty() && !m_store->hasPendingMetadata()) {
        for (ManagedObject *object : std::exchange(m_dirty, {}))
            object->m_dirty = false;
        return true;
    }
    if (!m_store->save(changes, keys, error))
        return false;
    for (ManagedObject *object : std::exchange(m_dirty, {})) {
        object->m_dirty = false;
        object->m_attributesChanged = false;
        object->m_changedRelationships = 0;
        object->m_inStore = !object->m_deleted;
    }
    for (EntityTable &t : m_tables)
        t.savedMaxPrimaryKey = t.maxPrimaryKey;
    return true;
}

QList<ManagedObject *> ManagedObjectContext::executeFetchRequest(const FetchRequest &request, QString *error) const
{
    const EntityTable *t = table(request.entityName);
    if (!t) {
        if (error)
            *error = QStringLiteral("There is no entity named \"%1\".").arg(request.entityName);
        return {};
    }
    QList<ManagedObject *> result;
    const bool everything = request.predicate.isEmpty();
    // Without sort keys the limit can stop the scan early.
    const int limit = request.sortDescriptors.isEmpty() ? request.fetchLimit : 0;
    for (const std::unique_ptr<ManagedObject> &object : t->byPrimaryKey) {
        if (!object || object->m_deleted)
            continue;
        if (everything || request.predicate.evaluate(*object)) {
            result.append(object.get());
            if (limit > 0 && result.size() >= limit)
                break;
        }
    }
    SortDescriptor::sort(result, request.sortDescriptors);
    if (request.fetchLimit > 0 && result.size() > request.fetchLimit)
        result.resize(request.fetchLimit);
    return result;
}

int ManagedObjectContext::countForFetchRequest(const FetchRequest &request, QString *error) const
{
    FetchRequest unsorted = request;
    unsorted.sortDescriptors.clear();
    return int(executeFetchRequest(unsorted, error).size());
}

ManagedObject *ManagedObjectContext::objectWithID(const ObjectID &id) const
{
    if (!id.isValid() || id.storeUUID() != storeUUID())
        return nullptr;
    const EntityTable *t = table(id.entityName());
    if (!t || size_t(id.primaryKey()) >= t->byPrimaryKey.size())
        return nullptr;
    ManagedObject *object = t->byPrimaryKey[size_t(id.primaryKey())].get();
    return object && !object->m_deleted ? object : nullptr;
}

std::optional<ObjectID> ManagedObjectContext::managedObjectIDForURIRepresentation(const QString &uri) const
{
    std::optional<ObjectID> id = ObjectID::fromURIRepresentation(uri);
    if (!id || id->storeUUID() != storeUUID() || !m_model.entity(id->entityName()))
        return std::nullopt;
    return id;
}
