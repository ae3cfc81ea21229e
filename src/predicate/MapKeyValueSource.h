#pragma once

#include "predicate/KeyValueSource.h"

#include <QHash>
#include <QVariantMap>

#include <memory>
#include <vector>

// A key-value source over plain values: the objects of tests, benchmarks and of
// stashly-cli's predicate command.
class MapKeyValueSource : public KeyValueSource
{
public:
    MapKeyValueSource() = default;
    explicit MapKeyValueSource(const QVariantMap &values);

    void setValue(const QString &key, const QVariant &value) { m_values.insert(key, value); }
    // Adds a member to the to-many relationship `key` and returns it.
    MapKeyValueSource &addRelated(const QString &key, const QVariantMap &values = {});

    QVariant valueForKey(const QString &key) const override;
    bool isToManyKey(const QString &key) const override;
    QList<const KeyValueSource *> relatedObjectsForKey(const QString &key) const override;

private:
    QHash<QString, QVariant> m_values;
    QHash<QString, std::vector<std::shared_ptr<MapKeyValueSource>>> m_related;
};
