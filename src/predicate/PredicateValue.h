#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>

// The constant side of a comparison. Keeps its kind, so that a text "3" stays a
// text and 3 stays a whole number through the text form and the stored form.
class PredicateValue
{
public:
    enum class Kind { Nil, Boolean, Integer, Number, Text, Date, List };

    PredicateValue() = default; // nil
    static PredicateValue nil() { return PredicateValue(); }
    static PredicateValue boolean(bool value);
    static PredicateValue integer(qint64 value);
    static PredicateValue number(double value);
    static PredicateValue text(const QString &value);
    static PredicateValue date(const QDateTime &value);
    static PredicateValue list(const QList<PredicateValue> &values);
    static PredicateValue textList(const QStringList &values);

    // QString -> text, bool -> boolean, the integer types -> integer, float and
    // double -> number, QDateTime/QDate -> date, QStringList/QVariantList -> list,
    // an invalid or null variant -> nil. Anything else has no value form.
    static std::optional<PredicateValue> fromVariant(const QVariant &value);
    QVariant toVariant() const;

    Kind kind() const { return m_kind; }
    bool isNil() const { return m_kind == Kind::Nil; }
    bool toBool() const { return m_int != 0; }
    qint64 toInteger() const { return m_int; }
    double toNumber() const { return m_kind == Kind::Number ? m_double : double(m_int); }
    const QString &toText() const { return m_text; }
    QDateTime toDate() const;
    qint64 dateMSecs() const { return m_int; } // milliseconds since 1970 UTC
    const QList<PredicateValue> &toList() const { return m_list; }

    // The literal in the text form: "text", 42, 2.5, YES, nil, {"a", "b"}, a date cast.
    QString literal() const;

    // Exact equality of kind and value (a number compares by its bits so that
    // NaN equals itself and a round trip stays equal).
    bool operator==(const PredicateValue &other) const;
    bool operator!=(const PredicateValue &other) const { return !(*this == other); }

private:
    Kind m_kind = Kind::Nil;
    qint64 m_int = 0;
    double m_double = 0.0;
    QString m_text;
    QList<PredicateValue> m_list;
};
