#pragma once

#include "predicate/Predicate.h"

#include <memory>

struct PredicateNode;
struct PreparedComparison;

// Evaluates predicates against key-value sources. What a comparison needs is
// worked out once, when the comparison is made (prepare), so that evaluating it
// over many objects repeats no folding, parsing or pattern compiling and, for
// texts of ordinary length, allocates nothing.
class PredicateEvaluator
{
public:
    static std::shared_ptr<const PreparedComparison> prepare(const PredicateNode &comparison);
    static bool evaluate(const PredicateNode &node, const KeyValueSource &object);
};
