#pragma once

#include <QList>
#include <QString>
#include <QVariant>

// Anything a predicate can be evaluated against: store objects, and plain maps
// in tests. Values are read by attribute name; to-many relationships give their
// members, so that a key path such as "customField.cfTextField" is tested with
// ANY over the related objects.
//
// Derived keys a store object must also answer:
// - notesPlainTextKey ("notesPlainText"): a record's `notes` are bytes (archived
//   styled text); the library search tests their plain text, which the record
//   serves under this key as a QString (invalid QVariant when it has no notes).
class KeyValueSource
{
public:
    static inline const QString notesPlainTextKey = QStringLiteral("notesPlainText");

    virtual ~KeyValueSource() = default;

    // The attribute's value; an invalid QVariant when it has none (or no such key).
    virtual QVariant valueForKey(const QString &key) const = 0;

    // Whether `key` names a to-many relationship of this object.
    virtual bool isToManyKey(const QString &key) const
    {
        Q_UNUSED(key);
        return false;
    }

    // The members of the to-many relationship `key` (empty when none).
    virtual QList<const KeyValueSource *> relatedObjectsForKey(const QString &key) const
    {
        Q_UNUSED(key);
        return {};
    }

    // Optional, for speed when one predicate is tested against many objects
    // (a search over every record): finding a value by its name for each object
    // costs a hash of the name and a copy of the value. Objects that keep their
    // values in slots shared by all objects of their kind may answer:
    // - layoutId(): a number above 0, the same for all objects with the same slots
    //   (for instance the entity's number + 1); 0 (the default) turns this off;
    // - slotForKey(key): the slot of `key` in that layout, or -1 when the key is
    //   not kept in a slot (it is then read with valueForKey);
    // - valueInSlot(slot): the value in that slot, the same that valueForKey
    //   would return; nullptr or an invalid QVariant when there is none. The
    //   pointer is used at once and never kept.
    // Predicates remember the slot of each key for the last layout they met.
    virtual quint32 layoutId() const { return 0; }
    virtual int slotForKey(const QString &key) const
    {
        Q_UNUSED(key);
        return -1;
    }
    virtual const QVariant *valueInSlot(int slot) const
    {
        Q_UNUSED(slot);
        return nullptr;
    }
};
