#include "predicate/PredicateValue.h"

#include "predicate/PredicateText.h"

#include <QStringList>

#include <cstring>

PredicateValue PredicateValue::boolean(bool value)
{
    PredicateValue v;
    v.m_kind = Kind::Boolean;
    v.m_int = value ? 1 : 0;
    return v;
}

PredicateValue PredicateValue::integer(qint64 value)
{
    PredicateValue v;
    v.m_kind = Kind::Integer;
    v.m_int = value;
    return v;
}

PredicateValue PredicateValue::number(double value)
{
    PredicateValue v;
    v.m_kind = Kind::Number;
    v.m_double = value;
    return v;
}

PredicateValue PredicateValue::text(const QString &value)
{
    PredicateValue v;
    v.m_kind = Kind::Text;
    v.m_text = value;
    return v;
}

PredicateValue PredicateValue::date(const QDateTime &value)
{
    if (!value.isValid())
        return PredicateValue();
    PredicateValue v;
    v.m_kind = Kind::Date;
    v.m_int = value.toMSecsSinceEpoch();
    return v;
}

PredicateValue PredicateValue::list(const QList<PredicateValue> &values)
{
    PredicateValue v;
    v.m_kind = Kind::List;
    v.m_list = values;
    return v;
}

PredicateValue PredicateValue::textList(const QStringList &values)
{
    QList<PredicateValue> list;
    list.reserve(values.size());
    for (const QString &s : values)
        list.append(text(s));
    return PredicateValue::list(list);
}

std::optional<PredicateValue> PredicateValue::fromVariant(const QVariant &value)
{
    if (!value.isValid())
        return nil();
    switch (value.metaType().id()) {
    case QMetaType::Nullptr:
        return nil();
    case QMetaType::Bool:
        return boolean(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return integer(value.toLongLong());
    case QMetaType::ULong:
    case QMetaType::ULongLong: {
        const qulonglong u = value.toULongLong();
        if (u > qulonglong(std::numeric_limits<qint64>::max()))
            return number(double(u));
        return integer(qint64(u));
    }
    case QMetaType::Float:
    case QMetaType::Double:
        return number(value.toDouble());
    case QMetaType::QString:
        return text(value.toString());
    case QMetaType::QChar:
        return text(QString(value.toChar()));
    case QMetaType::QDateTime:
        return date(value.toDateTime());
    case QMetaType::QDate:
        return date(value.toDate().startOfDay(Qt::UTC));
    case QMetaType::QStringList:
        return textList(value.toStringList());
    case QMetaType::QVariantList: {
        QList<PredicateValue> list;
        for (const QVariant &element : value.toList()) {
            std::optional<PredicateValue> v = fromVariant(element);
            if (!v)
                return std::nullopt;
            list.append(*v);
        }
        return PredicateValue::list(list);
    }
    default:
        return std::nullopt;
    }
}

QVariant PredicateValue::toVariant() const
{
    switch (m_kind) {
    case Kind::Nil:
        return QVariant();
    case Kind::Boolean:
        return QVariant(toBool());
    case Kind::Integer:
        return QVariant(m_int);
    case Kind::Number:
        return QVariant(m_double);
    case Kind::Text:
        return QVariant(m_text);
    case Kind::Date:
        return QVariant(toDate());
    case Kind::List: {
        QVariantList list;
        for (const PredicateValue &v : m_list)
            list.append(v.toVariant());
        return list;
    }
    }
    return QVariant();
}

QDateTime PredicateValue::toDate() const
{
    if (m_kind != Kind::Date)
        return QDateTime();
    return QDateTime::fromMSecsSinceEpoch(m_int, Qt::UTC);
}

QString PredicateValue::literal() const
{
    switch (m_kind) {
    case Kind::Nil:
        return QStringLiteral("nil");
    case Kind::Boolean:
        return toBool() ? QStringLiteral("YES") : QStringLiteral("NO");
    case Kind::Integer:
        return QString::number(m_int);
    case Kind::Number:
        return PredicateText::numberLiteral(m_double);
    case Kind::Text:
        return PredicateText::quoted(m_text);
    case Kind::Date:
        return PredicateText::dateLiteral(m_int);
    case Kind::List: {
        QStringList parts;
        for (const PredicateValue &v : m_list)
            parts.append(v.literal());
        return u'{' + parts.join(QLatin1String(", ")) + u'}';
    }
    }
    return QString();
}

bool PredicateValue::operator==(const PredicateValue &other) const
{
    if (m_kind != other.m_kind)
        return false;
    switch (m_kind) {
    case Kind::Nil:
        return true;
    case Kind::Boolean:
    case Kind::Integer:
    case Kind::Date:
        return m_int == other.m_int;
    case Kind::Number:
        return std::memcmp(&m_double, &other.m_double, sizeof m_double) == 0;
    case Kind::Text:
        return m_text == other.m_text;
    case Kind::List:
        return m_list == other.m_list;
    }
    return false;
}
