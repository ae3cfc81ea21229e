#include "core/store/EntityDescription.h"

EntityDescription::EntityDescription(const QString &name, const QList<AttributeDescription> &attributes,
                                     const QList<RelationshipDescription> &relationships, int sinceVersion)
    : m_name(name)
    , m_sinceVersion(sinceVersion)
    , m_attributes(attributes)
    , m_relationships(relationships)
{
    for (int i = 0; i < m_attributes.size(); ++i)
        m_attributeIndex.insert(m_attributes.at(i).name, i);
    for (int i = 0; i < m_relationships.size(); ++i)
        m_relationshipIndex.insert(m_relationships.at(i).name, i);
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
