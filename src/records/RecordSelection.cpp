#include "records/RecordSelection.h"

#include "base/Events.h"
#include "core/Record.h"
#include "store/ArrayController.h"
#include "store/ManagedObjectContext.h"

RecordSelection::RecordSelection(ManagedObjectContext *context)
    : m_context(context)
{
}

void RecordSelection::setRecordArrayControllers(ArrayController *recordList, ArrayController *iconView)
{
    m_recordList = recordList;
    m_iconView = iconView;
}

void RecordSelection::handleSelectedSourceNameChanged(const QVariantMap &payload)
{
    const QString type = payload.value(EventKeys::rowType).toString();
    if (type == QLatin1String("Category"))
        m_selectedCategoryName = payload.value(EventKeys::rowName).toString();
    else if (type == QLatin1String("All"))
        m_selectedCategoryName.clear();
    else
        return;
    clearRecordSelection();
}

void RecordSelection::handleSelectedRecordChanged(const QVariantMap &payload)
{
    const QVariantList selected = payload.value(EventKeys::selectedAssets).toList();
    if (selected.size() != 1)
        return;
    if (const ManagedObject *record = selected.first().value<ManagedObject *>())
        m_selectedMOID = record->objectID();
}

void RecordSelection::clearRecordSelection()
{
    for (ArrayController *list : { m_recordList, m_iconView })
        if (list)
            list->setSelectionIndexes({});
}

void RecordSelection::selectRecord(Record *record)
{
    for (ArrayController *list : { m_recordList, m_iconView })
        if (list)
            list->setSelectedObjects({ record });
}

void RecordSelection::selectInRecordList(Record *record)
{
    if (m_recordList)
        m_recordList->setSelectedObjects({ record });
}

void RecordSelection::selectCategory(ManagedObject *category)
{
    if (m_categories)
        m_categories->setSelectedObjects({ category });
}

QList<ManagedObject *> RecordSelection::selectedRecords() const
{
    if (m_recordList)
        return m_recordList->selectedObjects();
    ManagedObject *last = m_context ? m_context->objectWithID(m_selectedMOID) : nullptr;
    return last ? QList<ManagedObject *> { last } : QList<ManagedObject *> {};
}

QVariantList RecordSelection::recordListSelectionIndexes() const
{
    QVariantList indexes;
    if (m_recordList)
        for (int i : m_recordList->selectionIndexes())
            indexes.append(i);
    return indexes;
}

QVariantList RecordSelection::assets(const QList<ManagedObject *> &objects)
{
    QVariantList list;
    for (ManagedObject *o : objects)
        list.append(QVariant::fromValue(o));
    return list;
}
