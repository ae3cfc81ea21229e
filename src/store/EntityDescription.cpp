#include "store/EntityDescription.h"

#include <atomic>

namespace {
std::atomic<quint32> g_lastLayoutId { 0 };
}

EntityDescription::EntityDescription(const QString &name, const QList<AttributeDescription> &attributes,
                                     const QList<RelationshipDescription> &relationships, int sinceVersion)
    : m_name(name)
    , m_layoutId(++g_lastLayoutId)
    , m_sinceVersion(sinceVersion)
    , m_attributes(attributes)
    , m_relationships(relationships)
{
    // At most a quarter full, so that probes stay short.
    size_t size = 16;
    while (size < size_t(4 * (m_attributes.size() + m_relationships.size())))
        size *= 2;
    m_slots.resize(size);
    for (int i = 0; i < m_attributes.size(); ++i)
        insert(m_attributes.at(i).name, i, -1);
    for (int i = 0; i < m_relationships.size(); ++i)
        insert(m_relationships.at(i).name, -1, i);
}

void EntityDescription::insert(const QString &key, int attribute, int relationship)
{
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash(key) & mask;; i = (i + 1) & mask) {
        Slot &slot = m_slots[i];
        if (slot.key.isNull()) {
            slot = Slot { key, attribute, relationship };
            return;
        }
        if (slot.key == key) {
            // A name used twice keeps its first meaning.
            return;
        }
    }
}

QStringList EntityDescription::propertyNames() const
{
    QStringList names;
    for (const AttributeDescription &a : m_attributes)
        names.append(a.name);
    for (const RelationshipDescription &r : m_relationships)
        names.append(r.name);
    return names;
}
