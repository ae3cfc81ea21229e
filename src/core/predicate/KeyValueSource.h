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
    virtual bool isToManyKey(const QString &key) const { Q_UNUSED(key); return false; }

    // The members of the to-many relationship `key` (empty when none).
    virtual QList<const KeyValueSource *> relatedObjectsForKey(const QString &key) const
    {
        Q_UNUSED(key);
        return {};
    }
};
