#include "predicate/NamePredicate.h"

Predicate NamePredicate::nameLookup(const QString &key, const QString &name)
{
    return Predicate::comparison(key, Predicate::Operator::Matches, PredicateValue::text(escapedPattern(name)));
}

QString NamePredicate::escapedPattern(const QString &name)
{
    static const QLatin1String special("\\^$.[]|()?*+{}");
    QString out;
    out.reserve(name.size() + 8);
    for (QChar c : name) {
        if (c.unicode() == 0) {
            // A backslash before a zero would read as an octal escape.
            out += QLatin1String("\\x{0}");
            continue;
        }
        if (special.contains(c))
            out += u'\\';
        out += c;
    }
    return out;
}
