#include "store/ManagedObjectModel.h"

ManagedObjectModel::ManagedObjectModel(int version, const QList<EntityDescription> &entities)
    : m_version(version)
    , m_entities(entities)
{
    for (int i = 0; i < m_entities.size(); ++i)
        m_index.insert(m_entities.at(i).name(), i);
}

const EntityDescription *ManagedObjectModel::entity(const QString &name) const
{
    const int i = entityIndex(name);
    return i < 0 ? nullptr : &m_entities.at(i);
}

QStringList ManagedObjectModel::entityNames() const
{
    QStringList names;
    for (const EntityDescription &e : m_entities)
        names.append(e.name());
    return names;
}
