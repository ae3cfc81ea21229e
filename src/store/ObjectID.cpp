#include "store/ObjectID.h"

#include <QRegularExpression>

ObjectID::ObjectID(const QString &storeUUID, const QString &entityName, qint64 primaryKey)
    : m_storeUUID(storeUUID)
    , m_entityName(entityName)
    , m_primaryKey(primaryKey)
{
}

const QString &ObjectID::uriScheme()
{
    static const QString scheme = QStringLiteral("x-stashly");
    return scheme;
}

QString ObjectID::uriRepresentation() const
{
    if (!isValid())
        return QString();
    return QStringLiteral("%1://%2/%3/p%4").arg(uriScheme(), m_storeUUID, m_entityName).arg(m_primaryKey);
}

std::optional<ObjectID> ObjectID::fromURIRepresentation(const QString &uri)
{
    static const QRegularExpression form(
        QStringLiteral("^x-stashly://([0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})"
                       "/([A-Za-z][A-Za-z0-9_]*)/p([1-9][0-9]{0,17})$"));
    const QRegularExpressionMatch m = form.match(uri);
    if (!m.hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 pk = m.captured(3).toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return ObjectID(m.captured(1).toLower(), m.captured(2), pk);
}
