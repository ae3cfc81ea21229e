#include "store/ManagedObject.h"

#include "store/ManagedObjectContext.h"
#include "store/ToManySet.h"

#include <QDateTime>
#include <QHash>
#include <QTimeZone>

namespace {

QHash<QString, ManagedObject::Factory> &factories()
{
    static QHash<QString, ManagedObject::Factory> theFactories;
    return theFactories;
}

const QString &emptyText()
{
    static const QString empty = QStringLiteral("");
    return empty;
}

bool isNumeric(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

QString shortText(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QString:
        return QLatin1Char('"') + v.toString() + QLatin1Char('"');
    case QMetaType::QDateTime:
        return v.toDateTime().toString(Qt::ISODateWithMs);
    case QMetaType::QByteArray:
        return QStringLiteral("<%1 bytes>").arg(v.toByteArray().size());
    default:
        return v.isValid() ? v.toString() : QStringLiteral("nil");
    }
}

} // namespace

ManagedObject::ManagedObject() = default;
ManagedObject::~ManagedObject() = default;

void ManagedObject::registerEntityClass(const QString &entityName, Factory factory)
{
    factories().insert(entityName, std::move(factory));
}

std::unique_ptr<ManagedObject> ManagedObject::create(const EntityDescription &entity)
{
    const auto it = factories().constFind(entity.name());
    if (it != factories().constEnd() && *it) {
        if (std::unique_ptr<ManagedObject> object = (*it)())
            return object;
    }
    return std::make_unique<ManagedObject>();
}

// One layout number per entity description, so that objects of different
// entities (or of two models) never share a predicate's remembered slots.
void ManagedObject::attach(ManagedObjectContext *context, const EntityDescription *entity, qint64 primaryKey)
{
    m_context = context;
    m_entity = entity;
    m_primaryKey = primaryKey;
    m_values.reset(new QVariant[size_t(entity->attributes().size())]);
    if (!entity->relationships().isEmpty())
        m_members.reset(new std::vector<ManagedObject *>[size_t(entity->relationships().size())]);
}

ObjectID ManagedObject::objectID() const
{
    if (!m_context)
        return ObjectID();
    return ObjectID(m_context->storeUUID(), m_entity->name(), m_primaryKey);
}

QVariant ManagedObject::valueForKey(const QString &key) const
{
    const int a = m_entity->attributeIndex(key);
    if (a >= 0)
        return m_values[a];
    const int r = m_entity->relationshipIndex(key);
    if (r < 0)
        return QVariant();
    QVariantList list;
    list.reserve(qsizetype(m_members[r].size()));
    for (ManagedObject *member : m_members[r])
        list.append(QVariant::fromValue(member));
    return list;
}

QVariant ManagedObject::value(int attributeIndex) const
{
    if (attributeIndex < 0 || attributeIndex >= m_entity->attributes().size())
        return QVariant();
    return m_values[attributeIndex];
}

bool ManagedObject::setValue(const QString &key, const QVariant &value)
{
    return set(key, value);
}

bool ManagedObject::set(const QString &key, const QVariant &value, bool *changed)
{
    return set(m_entity->attributeIndex(key), value, changed);
}

bool ManagedObject::set(int attributeIndex, const QVariant &value, bool *changed)
{
    if (changed)
        *changed = false;
    if (!m_context || attributeIndex < 0 || attributeIndex >= m_entity->attributes().size())
        return false;
    const AttributeDescription &attribute = m_entity->attributes().at(attributeIndex);
    QVariant v = value;
    if (!coerce(attribute.type, v))
        return false;
    QVariant &slot = m_values[attributeIndex];
    if (slot.isValid() == v.isValid() && (!v.isValid() || slot == v))
        return true;
    QVariant previous = std::exchange(slot, std::move(v));
    if (changed)
        *changed = true;
    m_context->attributeDidChange(this, attributeIndex, previous);
    didChangeValueForKey(attribute.name, previous);
    return true;
}

bool ManagedObject::isToManyKey(const QString &key) const
{
    return m_entity->relationshipIndex(key) >= 0;
}

QList<const KeyValueSource *> ManagedObject::relatedObjectsForKey(const QString &key) const
{
    const int r = m_entity->relationshipIndex(key);
    if (r < 0)
        return {};
    return QList<const KeyValueSource *>(m_members[r].begin(), m_members[r].end());
}

ToManySet ManagedObject::mutableSetValueForKey(const QString &key)
{
    const int r = m_entity->relationshipIndex(key);
    return r < 0 ? ToManySet() : ToManySet(this, r);
}

QList<ManagedObject *> ManagedObject::relatedObjects(int relationshipIndex) const
{
    if (relationshipIndex < 0 || relationshipIndex >= m_entity->relationships().size())
        return {};
    return QList<ManagedObject *>(m_members[relationshipIndex].begin(), m_members[relationshipIndex].end());
}

QString ManagedObject::description() const
{
    QStringList parts;
    const QList<AttributeDescription> &attributes = m_entity->attributes();
    for (int i = 0; i < attributes.size(); ++i)
        if (m_values[i].isValid())
            parts.append(QStringLiteral("%1 = %2").arg(attributes.at(i).name, shortText(m_values[i])));
    const QList<RelationshipDescription> &relationships = m_entity->relationships();
    for (int r = 0; r < relationships.size(); ++r)
        parts.append(QStringLiteral("%1 = (%2 objects)").arg(relationships.at(r).name).arg(m_members[r].size()));
    return QStringLiteral("<%1 %2> { %3 }")
        .arg(m_entity->name(), objectID().uriRepresentation(), parts.join(QStringLiteral("; ")));
}

bool ManagedObject::coerce(AttributeDescription::Type type, QVariant &value)
{
    using Type = AttributeDescription::Type;
    // A null variant (as SQL NULL reads) is a missing value; a variant holding a
    // null QString or QByteArray is an empty value, made non-null below so that
    // it is stored as empty and not as missing.
    if (!value.isValid() || value.isNull()) {
        value = QVariant();
        return true;
    }
    bool ok = true;
    switch (type) {
    case Type::Text:
        if (value.typeId() != QMetaType::QString) {
            if (!value.canConvert<QString>())
                return false;
            value = value.toString();
        }
        if (value.toString().isNull())
            value = emptyText();
        return true;
    case Type::Integer: {
        if (value.typeId() == QMetaType::LongLong)
            return true;
        if (value.typeId() == QMetaType::Bool) {
            value = qlonglong(value.toBool() ? 1 : 0);
            return true;
        }
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
            const double d = value.toDouble();
            if (!qIsFinite(d))
                return false;
            value = qlonglong(qRound64(d));
            return true;
        }
        const qlonglong n = value.toLongLong(&ok);
        if (!ok)
            return false;
        value = n;
        return true;
    }
    case Type::Number: {
        if (value.typeId() == QMetaType::Double)
            return true;
        if (value.typeId() == QMetaType::Bool) {
            value = value.toBool() ? 1.0 : 0.0;
            return true;
        }
        const double d = value.toDouble(&ok);
        if (!ok)
            return false;
        value = d;
        return true;
    }
    case Type::Boolean:
        if (value.typeId() == QMetaType::Bool)
            return true;
        if (isNumeric(value)) {
            value = value.toDouble() != 0.0;
            return true;
        }
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed().toLower();
            if (s == QLatin1String("1") || s == QLatin1String("true") || s == QLatin1String("yes"))
                value = true;
            else if (s == QLatin1String("0") || s == QLatin1String("false") || s == QLatin1String("no"))
                value = false;
            else
                return false;
            return true;
        }
        return false;
    case Type::Date: {
        QDateTime dt;
        if (value.typeId() == QMetaType::QDateTime)
            dt = value.toDateTime();
        else if (value.typeId() == QMetaType::QDate)
            dt = value.toDate().startOfDay();
        else if (value.typeId() == QMetaType::QString)
            dt = QDateTime::fromString(value.toString(), Qt::ISODateWithMs);
        else
            return false;
        if (!dt.isValid())
            return value.typeId() == QMetaType::QDateTime ? (value = QVariant(), true) : false;
        value = dt.toUTC();
        return true;
    }
    case Type::Bytes:
        if (value.typeId() == QMetaType::QString)
            value = value.toString().toUtf8();
        else if (value.typeId() != QMetaType::QByteArray)
            return false;
        if (value.toByteArray().isNull())
            value = QByteArray("");
        return true;
    }
    return false;
}
