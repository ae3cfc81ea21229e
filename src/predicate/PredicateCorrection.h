#pragma once

#include "predicate/Predicate.h"

// Readies a smart folder's stored predicate for filtering records. The rule
// editor stores a label choice as a quoted digit while a record's `labelIndex`
// is a number; each label test among the top-level members becomes the
// equality `labelIndex == <digit>`, whatever operator it was stored with. Other
// members, and anything nested inside them, stay as they are; the compound keeps
// its type and the order of its members.
class PredicateCorrection
{
public:
    // AND, OR and NOT compounds have their members corrected; a single comparison
    // is corrected as if it were the only member; the empty predicate stays empty.
    static Predicate correctedPredicate(const Predicate &folderPredicate);
    // The label test's corrected form, or the member unchanged when it is not a
    // label test on a text or number value.
    static Predicate correctedMember(const Predicate &member);
};
