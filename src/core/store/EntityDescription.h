#pragma once

#include "core/store/AttributeDescription.h"
#include "core/store/RelationshipDescription.h"

#include <QHash>
#include <QList>
#include <QString>

// An entity of the model: its attributes and to-many relationships, each found
// by name or by position. Objects keep their values by attribute position.
class EntityDescription
{
public:
    EntityDescription(const QString &name, const QList<AttributeDescription> &attributes,
                      const QList<RelationshipDescription> &relationships = {}, int sinceVersion = 1);

    const QString &name() const { return m_name; }
    int sinceVersion() const { return m_sinceVersion; }
    const QList<AttributeDescription> &attributes() const { return m_attributes; }
    const QList<RelationshipDescription> &relationships() const { return m_relationships; }

    // -1 when there is no such attribute or relationship.
    int attributeIndex(const QString &key) const { return m_attributeIndex.value(key, -1); }
    int relationshipIndex(const QString &key) const { return m_relationshipIndex.value(key, -1); }

    // Every key of the entity: attributes first, then relationships.
    QStringList propertyNames() const;

private:
    QString m_name;
    int m_sinceVersion;
    QList<AttributeDescription> m_attributes;
    QList<RelationshipDescription> m_relationships;
    QHash<QString, int> m_attributeIndex;
    QHash<QString, int> m_relationshipIndex;
};
