#include "records/RecordJson.h"

#include "core/Record.h"

#include <QDateTime>
#include <QJsonArray>

QJsonValue RecordJson::valueToJson(const QVariant &value, AttributeDescription::Type type)
{
    using Type = AttributeDescription::Type;
    if (!value.isValid())
        return QJsonValue::Null;
    switch (type) {
    case Type::Text:
        return value.toString();
    case Type::Integer:
        return value.toLongLong();
    case Type::Number:
        return value.toDouble();
    case Type::Boolean:
        return value.toBool();
    case Type::Date: {
        const QDateTime utc = value.toDateTime().toUTC();
        return utc.toString(utc.time().msec() ? Qt::ISODateWithMs : Qt::ISODate);
    }
    case Type::Bytes:
        return QString::fromLatin1(value.toByteArray().toBase64());
    }
    return QJsonValue::Null;
}

QJsonObject RecordJson::toJson(const Record &record)
{
    QJsonObject json;
    for (const AttributeDescription &a : record.entity().attributes()) {
        if (a.name == QLatin1String("notes")) {
            const QString text = record.notesPlainText();
            json.insert(a.name, text.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(text));
            continue;
        }
        json.insert(a.name, valueToJson(record.valueForKey(a.name), a.type));
    }
    const auto members = [&record](const char *relationship, std::initializer_list<const char *> keys) {
        QJsonArray list;
        for (const ManagedObject *m :
             record.relatedObjects(record.entity().relationshipIndex(QString::fromLatin1(relationship)))) {
            QJsonObject o;
            for (const char *key : keys)
                o.insert(QLatin1String(key),
                         valueToJson(m->valueForKey(QLatin1String(key)), AttributeDescription::Type::Text));
            list.append(o);
        }
        return list;
    };
    json.insert(QStringLiteral("customField"), members("customField", { "cfName", "cfType", "cfTextField" }));
    json.insert(QStringLiteral("fileData"), members("fileData", { "fileName", "fileType", "displayName" }));
    return json;
}
