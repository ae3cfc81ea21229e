#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

// The identity of a stored object: the store it lives in, its entity and its
// primary key. It stays the same across saves and launches, and travels between
// controllers (and in drag and drop) as its URI text
// "x-stashly://<store uuid>/<Entity>/p<n>".
class ObjectID
{
public:
    ObjectID() = default;
    ObjectID(const QString &storeUUID, const QString &entityName, qint64 primaryKey);

    bool isValid() const { return m_primaryKey > 0; }
    const QString &storeUUID() const { return m_storeUUID; }
    const QString &entityName() const { return m_entityName; }
    qint64 primaryKey() const { return m_primaryKey; }

    QString uriRepresentation() const;
    // The identifier a URI text names; none when the text is not of that form.
    // Whether such an object exists is for the context to say.
    static std::optional<ObjectID> fromURIRepresentation(const QString &uri);

    static const QString &uriScheme();

    friend bool operator==(const ObjectID &a, const ObjectID &b)
    {
        return a.m_primaryKey == b.m_primaryKey && a.m_entityName == b.m_entityName && a.m_storeUUID == b.m_storeUUID;
    }
    friend bool operator!=(const ObjectID &a, const ObjectID &b) { return !(a == b); }

private:
    QString m_storeUUID;
    QString m_entityName;
    qint64 m_primaryKey = 0;
};

Q_DECLARE_METATYPE(ObjectID)
