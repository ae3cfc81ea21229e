#pragma once

#include "store/AttributeDescription.h"
#include "store/RelationshipDescription.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <vector>

// An entity of the model: its attributes and to-many relationships, each found
// by name or by position. Objects keep their values by attribute position.
class EntityDescription
{
public:
    EntityDescription(const QString &name, const QList<AttributeDescription> &attributes,
                      const QList<RelationshipDescription> &relationships = {}, int sinceVersion = 1);

    const QString &name() const { return m_name; }
    // Above 0 and different for every entity made: objects of this entity keep
    // their values in the same slots (the attribute positions).
    quint32 layoutId() const { return m_layoutId; }
    int sinceVersion() const { return m_sinceVersion; }
    const QList<AttributeDescription> &attributes() const { return m_attributes; }
    const QList<RelationshipDescription> &relationships() const { return m_relationships; }

    // -1 when there is no such attribute or relationship.
    int attributeIndex(QStringView key) const
    {
        const int slot = find(key);
        return slot < 0 ? -1 : m_slots[size_t(slot)].attribute;
    }
    int relationshipIndex(QStringView key) const
    {
        const int slot = find(key);
        return slot < 0 ? -1 : m_slots[size_t(slot)].relationship;
    }

    // Every key of the entity: attributes first, then relationships.
    QStringList propertyNames() const;

private:
    // Keys are looked up for every object a predicate tests, so the table is an
    // open-addressing one with a cheap hash of a few characters.
    struct Slot
    {
        QString key;
        int attribute = -1;
        int relationship = -1;
    };
    static size_t hash(QStringView key)
    {
        const qsizetype n = key.size();
        if (n == 0)
            return 0;
        const char16_t *d = key.utf16();
        return size_t(n) * 131u + size_t(d[0]) * 31u + size_t(d[n - 1]) * 7u + size_t(d[n / 2]) * 3u + size_t(d[n / 3]);
    }
    int find(QStringView key) const
    {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash(key) & mask;; i = (i + 1) & mask) {
            const Slot &slot = m_slots[i];
            if (slot.key.isNull())
                return -1;
            if (slot.key.size() == key.size() && QStringView(slot.key) == key)
                return int(i);
        }
    }
    void insert(const QString &key, int attribute, int relationship);

    QString m_name;
    quint32 m_layoutId;
    int m_sinceVersion;
    QList<AttributeDescription> m_attributes;
    QList<RelationshipDescription> m_relationships;
    std::vector<Slot> m_slots;
};
