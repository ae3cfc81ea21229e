#include "navigation/RecordFilterCombination.h"

#include "navigation/SmartFolder.h"
#include "navigation/SourceListItem.h"

ManagedObject *RecordFilterCombination::smartFolderNamed(const QString &name,
                                                         const QList<ManagedObject *> &smartFolders)
{
    for (ManagedObject *folder : smartFolders)
        if (SmartFolder::name(folder) == name)
            return folder;
    return nullptr;
}

Predicate RecordFilterCombination::rowFilter(const QString &rowType, const QString &rowName,
                                             const QList<ManagedObject *> &smartFolders, bool *found)
{
    if (found)
        *found = true;
    if (rowType == SourceListItem::rowTypeCategory)
        return Predicate::fromFormat(QStringLiteral("%K == %@"), { QStringLiteral("category"), rowName });
    if (rowType == SourceListItem::rowTypeSmart) {
        if (ManagedObject *folder = smartFolderNamed(rowName, smartFolders)) {
            // A folder without readable rules shows what its badge counts: nothing.
            return SmartFolder::correctedPredicate(folder).value_or(Predicate::falsePredicate());
        }
        if (found)
            *found = false;
        return Predicate();
    }
    if (rowType == SourceListItem::rowTypeWebGroup && found)
        *found = false;
    return Predicate();
}

std::optional<Predicate> RecordFilterCombination::combinedFilter(const Predicate &locationFilter,
                                                                 const Predicate &searchFilter, const QString &rowType,
                                                                 const QString &rowName,
                                                                 const QList<ManagedObject *> &smartFolders)
{
    bool found = true;
    const Predicate row = rowFilter(rowType, rowName, smartFolders, &found);
    if (!found)
        return std::nullopt;
    QList<Predicate> parts;
    for (const Predicate *p : { &locationFilter, &searchFilter, &row })
        if (!isAbsent(*p))
            parts.append(*p);
    if (parts.isEmpty())
        return Predicate();
    if (parts.size() == 1)
        return parts.first();
    return Predicate::andPredicate(parts);
}
