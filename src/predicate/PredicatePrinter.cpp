#include "predicate/PredicatePrinter.h"

#include "predicate/Predicate.h"
#include "predicate/PredicateText.h"

namespace {

// An AND or OR with one member stands for its member.
Predicate collapsed(Predicate p)
{
    while (p.isCompound() && p.compoundType() != Predicate::CompoundType::Not && p.members().size() == 1)
        p = p.members().constFirst();
    return p;
}

bool isBinary(const Predicate &p)
{
    const Predicate q = collapsed(p);
    return q.isCompound() && q.compoundType() != Predicate::CompoundType::Not && q.members().size() >= 2;
}

QString text(const Predicate &p);

// A member is written in parentheses when it is itself an AND or OR of several.
QString operand(const Predicate &p)
{
    return isBinary(p) ? u'(' + text(p) + u')' : text(p);
}

QString comparisonText(const Predicate &p)
{
    QString out;
    switch (p.modifier()) {
    case Predicate::Modifier::Direct:
        break;
    case Predicate::Modifier::Any:
        out += QLatin1String("ANY ");
        break;
    case Predicate::Modifier::All:
        out += QLatin1String("ALL ");
        break;
    case Predicate::Modifier::None:
        out += QLatin1String("NONE ");
        break;
    }
    out += PredicateText::keyPathText(p.keyPath());
    out += u' ';
    out += Predicate::operatorText(p.operatorType());
    const Predicate::Options o = p.options();
    if (o) {
        out += u'[';
        if (o & Predicate::CaseInsensitive)
            out += u'c';
        if (o & Predicate::DiacriticInsensitive)
            out += u'd';
        out += u']';
    }
    out += u' ';
    out += p.value().literal();
    return out;
}

QString text(const Predicate &p)
{
    const Predicate q = collapsed(p);
    switch (q.type()) {
    case Predicate::Type::Empty:
        return QString();
    case Predicate::Type::Comparison:
        return comparisonText(q);
    case Predicate::Type::Compound:
        break;
    }
    const QList<Predicate> members = q.members();
    switch (q.compoundType()) {
    case Predicate::CompoundType::Not:
        return QLatin1String("NOT ") + operand(members.constFirst());
    case Predicate::CompoundType::And:
    case Predicate::CompoundType::Or: {
        if (members.isEmpty())
            return q.compoundType() == Predicate::CompoundType::And ? QStringLiteral("TRUEPREDICATE")
                                                                    : QStringLiteral("FALSEPREDICATE");
        const QLatin1String joiner(q.compoundType() == Predicate::CompoundType::And ? " AND " : " OR ");
        QString out;
        for (const Predicate &m : members) {
            if (!out.isEmpty())
                out += joiner;
            out += operand(m);
        }
        return out;
    }
    }
    return QString();
}

} // namespace

QString PredicatePrinter::print(const Predicate &predicate)
{
    return text(predicate);
}
