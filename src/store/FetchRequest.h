#pragma once

#include "predicate/Predicate.h"
#include "store/SortDescriptor.h"

#include <QList>
#include <QString>

// Objects of one entity that satisfy a predicate, in the order of the sort
// descriptors (store order when there are none).
struct FetchRequest
{
    QString entityName;
    Predicate predicate;
    QList<SortDescriptor> sortDescriptors;
    int fetchLimit = 0; // 0: all
};
