#pragma once

#include "predicate/Predicate.h"

// Every look-up of an object by its name goes through here. Names are compared
// as whole-text patterns ("%K MATCHES %@"); the name is escaped first, so that a
// plain name is exact, case-sensitive equality and a name with pattern
// characters ("Tools (garage)", "C++") still finds itself and only itself.
class NamePredicate
{
public:
    // `key` MATCHES the escaped `name`.
    static Predicate nameLookup(const QString &key, const QString &name);
    // `name` with every pattern character escaped by a backslash.
    static QString escapedPattern(const QString &name);
};
