#pragma once

#include "predicate/Predicate.h"

#include <QString>
#include <QStringList>

class EntityDescription;
class ManagedObjectModel;

// Whether a predicate typed by the user can select anything: every comparison
// names a key path that objects of the entity have, and every MATCHES pattern
// is a regular expression. A misspelt key or a broken pattern would otherwise
// match nothing, silently and for good (a smart folder keeps its rules).
class PredicateCheck
{
public:
    // Empty when the predicate is fine for objects of `entity`; otherwise one
    // sentence about the first problem. A key path goes through to-many
    // relationships (tested with ANY) and ends at an attribute or a derived key.
    static QString problem(const Predicate &predicate, const EntityDescription &entity,
                           const ManagedObjectModel &model);
    // The same over the program's entity model; an unknown entity is a problem.
    static QString problem(const Predicate &predicate, const QString &entity);

    // The keys objects of an entity answer beyond the model's attributes (a
    // record serves the plain text of its notes for the search).
    static QStringList derivedKeys(const QString &entity);

    // Empty for a pattern MATCHES can use; otherwise why it cannot.
    static QString patternProblem(const QString &pattern);
};
