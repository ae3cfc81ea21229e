#pragma once

#include "predicate/Predicate.h"

#include <QList>
#include <QString>

#include <optional>

class ManagedObject;

// The one rule by which the record views combine their three inputs: the AND
// of, in this order, the location filter, the search filter and the row filter,
// leaving out the absent ones. A filter is absent when its text form is empty.
class RecordFilterCombination
{
public:
    // The row filter: none for "All"; `category == name` for "Category"; the
    // corrected predicate of the smart folder with that name for "Smart".
    // `found` is false for a "Smart" row whose folder does not exist and for
    // "WebGroup" (nothing is computed for web rows).
    static Predicate rowFilter(const QString &rowType, const QString &rowName,
                               const QList<ManagedObject *> &smartFolders, bool *found = nullptr);

    // The record list's filter; none when it must be left as it was (an unknown
    // smart folder, a web group). An empty predicate means no filter.
    static std::optional<Predicate> combinedFilter(const Predicate &locationFilter, const Predicate &searchFilter,
                                                   const QString &rowType, const QString &rowName,
                                                   const QList<ManagedObject *> &smartFolders);

    static bool isAbsent(const Predicate &filter) { return filter.description().isEmpty(); }

    // The smart folder of that name among `smartFolders`, or none.
    static ManagedObject *smartFolderNamed(const QString &name, const QList<ManagedObject *> &smartFolders);
};
