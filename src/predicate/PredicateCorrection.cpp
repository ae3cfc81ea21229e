#include "predicate/PredicateCorrection.h"

namespace {

const QLatin1String labelKey("labelIndex");

// The label a stored value stands for: the last digit of a text ("3"), or a number.
std::optional<qint64> labelOf(const PredicateValue &v)
{
    switch (v.kind()) {
    case PredicateValue::Kind::Text: {
        const QString &t = v.toText();
        bool ok = false;
        const qint64 whole = t.toLongLong(&ok);
        if (ok)
            return whole;
        for (qsizetype i = t.size() - 1; i >= 0; --i)
            if (t.at(i) >= u'0' && t.at(i) <= u'9')
                return qint64(t.at(i).unicode() - u'0');
        return std::nullopt;
    }
    case PredicateValue::Kind::Integer:
        return v.toInteger();
    case PredicateValue::Kind::Number:
        return qint64(v.toNumber());
    default:
        return std::nullopt;
    }
}

} // namespace

Predicate PredicateCorrection::correctedMember(const Predicate &member)
{
    if (!member.isComparison() || member.modifier() != Predicate::Modifier::Direct || member.keyPath() != labelKey)
        return member;
    const std::optional<qint64> label = labelOf(member.value());
    if (!label)
        return member;
    return Predicate::fromFormat(QStringLiteral("%K == %d"), { QString(labelKey), *label });
}

Predicate PredicateCorrection::correctedPredicate(const Predicate &folderPredicate)
{
    if (folderPredicate.isComparison())
        return correctedMember(folderPredicate);
    if (!folderPredicate.isCompound())
        return folderPredicate;
    QList<Predicate> members = folderPredicate.members();
    for (Predicate &m : members)
        m = correctedMember(m);
    return Predicate::compound(folderPredicate.compoundType(), members);
}
