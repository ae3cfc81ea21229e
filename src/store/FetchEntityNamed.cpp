#include "store/FetchEntityNamed.h"

#include "store/ArrayController.h"

QList<ManagedObject *> fetchEntityNamed(const QString &entityName, const Predicate &predicate,
                                        ArrayController &arrayController, const QList<SortDescriptor> &sortDescriptors)
{
    const QString entity = arrayController.entityName();
    const Predicate fetchPredicate = arrayController.fetchPredicate();
    const Predicate filterPredicate = arrayController.filterPredicate();
    const QList<SortDescriptor> sorting = arrayController.sortDescriptors();
    const QList<ManagedObject *> content = arrayController.content();
    const QList<ManagedObject *> selected = arrayController.selectedObjects();
    QSignalBlocker quiet(&arrayController); // the interface sees only the restored list

    arrayController.setEntityName(entityName);
    arrayController.setFetchPredicate(predicate);
    arrayController.setFilterPredicate(Predicate());
    arrayController.setSortDescriptors(sortDescriptors);
    QList<ManagedObject *> result;
    if (arrayController.fetch())
        result = arrayController.arrangedObjects();

    arrayController.setEntityName(entity);
    arrayController.setFetchPredicate(fetchPredicate);
    arrayController.setSortDescriptors(sorting);
    arrayController.setFilterPredicate(filterPredicate);
    quiet.unblock();
    // The list's own fetch again: refetched when it has an entity of its own,
    // otherwise the content it was given.
    if (entity.isEmpty() || !arrayController.fetch())
        arrayController.setContent(content);
    arrayController.setSelectedObjects(selected);
    return result;
}
