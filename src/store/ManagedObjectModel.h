#pragma once

#include "store/EntityDescription.h"

#include <QHash>
#include <QList>

// A versioned set of entities. Each entity, attribute and relationship records
// the version that added it, so the model can describe any older version too
// (what an older store file holds).
class ManagedObjectModel
{
public:
    ManagedObjectModel(int version, const QList<EntityDescription> &entities);

    int version() const { return m_version; }
    const QList<EntityDescription> &entities() const { return m_entities; }
    // nullptr for an unknown name.
    const EntityDescription *entity(const QString &name) const;
    int entityIndex(const QString &name) const { return m_index.value(name, -1); }
    QStringList entityNames() const;

private:
    int m_version;
    QList<EntityDescription> m_entities;
    QHash<QString, int> m_index;
};
