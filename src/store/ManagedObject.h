#pragma once

#include "predicate/KeyValueSource.h"
#include "store/EntityDescription.h"
#include "store/ObjectID.h"

#include <QMetaType>
#include <QVariant>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

class ManagedObjectContext;
class ToManySet;

// One object of the store. Values are kept by attribute position in a compact
// array; to-many relationships as member lists with back references, so that
// both sides follow every change. Objects belong to their context, which
// creates them (through a registered subclass where one exists), keeps them
// alive while undo may bring them back, and records every change for saving,
// undo and change notifications.
class ManagedObject : public KeyValueSource
{
public:
    enum class SetMutation { Add, Remove };
    using Factory = std::function<std::unique_ptr<ManagedObject>()>;

    ManagedObject();
    ~ManagedObject() override;
    ManagedObject(const ManagedObject &) = delete;
    ManagedObject &operator=(const ManagedObject &) = delete;

    // Entity classes (Record, SmartFolder, ...) register here before a store opens.
    // Objects of a large store are made on two loading threads: constructors must
    // touch nothing shared; setup that does belongs in awakeFromFetch and
    // awakeFromInsert, which run on the main thread.
    static void registerEntityClass(const QString &entityName, Factory factory);

    const EntityDescription &entity() const { return *m_entity; }
    const QString &entityName() const { return m_entity->name(); }
    ManagedObjectContext *managedObjectContext() const { return m_context; }
    ObjectID objectID() const;
    qint64 primaryKey() const { return m_primaryKey; }
    // Deleted in the context (until an undo brings it back).
    bool isDeleted() const { return m_deleted; }
    // Not yet in the store file.
    bool isInserted() const { return !m_inStore && !m_deleted; }
    // Changed since the last save.
    bool hasChanges() const { return m_dirty; }

    // Attribute access by name. A to-many key gives its members as a list of
    // ManagedObject pointers; an unknown key an invalid value.
    QVariant valueForKey(const QString &key) const override;
    QVariant value(int attributeIndex) const;

    // Changes an attribute by name; entity classes override this to route the
    // change through their own setters. False for an unknown key or a value
    // that does not fit the attribute's type.
    virtual bool setValue(const QString &key, const QVariant &value);

    // Stores a value and announces it (did-change hook, change notification,
    // undo) only when it really changed. The value is brought to the
    // attribute's type first (an invalid QVariant means no value).
    bool set(const QString &key, const QVariant &value, bool *changed = nullptr);
    bool set(int attributeIndex, const QVariant &value, bool *changed = nullptr);

    // Fast reading for predicates tested against many objects: attributes are
    // read straight from their slots. A subclass that computes an attribute in
    // valueForKey must answer -1 from slotForKey for it.
    quint32 layoutId() const override { return m_entity->layoutId(); }
    int slotForKey(const QString &key) const override { return m_entity->attributeIndex(key); }
    const QVariant *valueInSlot(int slot) const override
    {
        return slot >= 0 && slot < m_entity->attributes().size() ? &m_values[slot] : nullptr;
    }

    bool isToManyKey(const QString &key) const override;
    QList<const KeyValueSource *> relatedObjectsForKey(const QString &key) const override;
    // The mutable set of a to-many relationship (invalid for another key).
    ToManySet mutableSetValueForKey(const QString &key);
    QList<ManagedObject *> relatedObjects(int relationshipIndex) const;

    // "<Entity uri> { key = value; ... }", for logs.
    QString description() const;

    // Brings `value` to the canonical form of an attribute type: text as a
    // non-null QString, whole numbers as qlonglong, numbers as double, booleans
    // as bool, dates as UTC QDateTime, bytes as a non-null QByteArray. False
    // when the value cannot be converted.
    static bool coerce(AttributeDescription::Type type, QVariant &value);

protected:
    // Called once for a new object, after it has joined the context.
    virtual void awakeFromInsert() { }
    // Called once for every object read from the store, after all are loaded.
    virtual void awakeFromFetch() { }
    // Called after a stored value changed (also when undo or redo changes it).
    virtual void didChangeValueForKey(const QString &key, const QVariant &oldValue)
    {
        Q_UNUSED(key);
        Q_UNUSED(oldValue);
    }
    // Called after a member was added to or removed from a to-many relationship.
    virtual void didChangeToManyKey(const QString &key, SetMutation mutation, ManagedObject *member)
    {
        Q_UNUSED(key);
        Q_UNUSED(mutation);
        Q_UNUSED(member);
    }
    // Called before the context deletes the object.
    virtual void prepareForDeletion() { }

private:
    friend class ManagedObjectContext;
    friend class ToManySet;

    static std::unique_ptr<ManagedObject> create(const EntityDescription &entity);
    void attach(ManagedObjectContext *context, const EntityDescription *entity, qint64 primaryKey);

    struct OwnerLink
    {
        ManagedObject *owner;
        int relationship;
    };

    const EntityDescription *m_entity = nullptr;
    ManagedObjectContext *m_context = nullptr;
    qint64 m_primaryKey = 0;
    std::unique_ptr<QVariant[]> m_values;
    std::unique_ptr<std::vector<ManagedObject *>[]> m_members;
    std::vector<OwnerLink> m_owners;
    // Save state.
    bool m_deleted = false;
    bool m_inStore = false;
    bool m_dirty = false;
    bool m_attributesChanged = false;
    quint8 m_changedRelationships = 0;
    // Change-notification state.
    quint8 m_pending = 0;
};

Q_DECLARE_METATYPE(ManagedObject *)
