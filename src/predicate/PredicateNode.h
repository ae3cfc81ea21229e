#pragma once

#include "predicate/Predicate.h"

#include <memory>

struct PreparedComparison;

// The inside of a predicate. Immutable once made; a comparison carries what its
// evaluation needs prepared once (folded texts, compiled pattern, split key path).
struct PredicateNode
{
    Predicate::Type type = Predicate::Type::Empty;

    QString keyPath;
    Predicate::Operator op = Predicate::Operator::EqualTo;
    Predicate::Options options;
    Predicate::Modifier modifier = Predicate::Modifier::Direct;
    PredicateValue value;

    Predicate::CompoundType compoundType = Predicate::CompoundType::And;
    QList<Predicate> members;

    std::shared_ptr<const PreparedComparison> prepared;
};
