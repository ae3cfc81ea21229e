#pragma once

#include "predicate/Predicate.h"
#include "store/SortDescriptor.h"

#include <QList>
#include <QString>

class ArrayController;
class ManagedObject;

// The program's filtered fetch: fetches the objects of an entity that satisfy a
// predicate, sorted, through the given list; copies the result, gives the list
// back its own fetch (entity, predicates, sort keys and selection) and returns
// the copy. The list's filter predicate (a search the user typed) does not
// narrow the result, so a look-up never misses objects hidden by a search.
QList<ManagedObject *> fetchEntityNamed(const QString &entityName, const Predicate &predicate,
                                        ArrayController &arrayController,
                                        const QList<SortDescriptor> &sortDescriptors = {});
