#include "predicate/MapKeyValueSource.h"

MapKeyValueSource::MapKeyValueSource(const QVariantMap &values)
{
    for (auto it = values.begin(); it != values.end(); ++it)
        m_values.insert(it.key(), it.value());
}

MapKeyValueSource &MapKeyValueSource::addRelated(const QString &key, const QVariantMap &values)
{
    auto member = std::make_shared<MapKeyValueSource>(values);
    m_related[key].push_back(member);
    return *member;
}

QVariant MapKeyValueSource::valueForKey(const QString &key) const
{
    return m_values.value(key);
}

bool MapKeyValueSource::isToManyKey(const QString &key) const
{
    return m_related.contains(key);
}

QList<const KeyValueSource *> MapKeyValueSource::relatedObjectsForKey(const QString &key) const
{
    QList<const KeyValueSource *> out;
    const auto it = m_related.constFind(key);
    if (it != m_related.cend()) {
        out.reserve(qsizetype(it->size()));
        for (const auto &m : *it)
            out.append(m.get());
    }
    return out;
}
