#include "core/predicate/Predicate.h"

// Interim implementation: the empty predicate only. The real model replaces this.
struct Predicate::Node
{
};

Predicate::Predicate() = default;

Predicate Predicate::fromFormat(const QString &, const QVariantList &)
{
    return Predicate();
}

bool Predicate::isEmpty() const
{
    return !m_root;
}

bool Predicate::evaluate(const KeyValueSource &) const
{
    return true;
}

QString Predicate::description() const
{
    return QString();
}
