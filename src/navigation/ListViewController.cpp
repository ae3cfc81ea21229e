#include "navigation/ListViewController.h"

#include "base/Events.h"
#include "base/Settings.h"
#include "navigation/DragPayload.h"
#include "navigation/RecordListColumn.h"
#include "navigation/SelectedAssets.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"

ListViewController::ListViewController(ManagedObjectContext *context, QObject *parent)
    : RecordViewController(context, ListMode, parent)
{
    connect(this, &RecordViewController::selectionShown, this, &ListViewController::selectionChanged);
    // The list shows nothing until the first update, new record or input refresh.
    m_hold = true;
    const QStringList hidden = Settings::value(hiddenColumnsKey).toStringList();
    m_hidden = QSet<QString>(hidden.begin(), hidden.end());
}

void ListViewController::start()
{
    RecordViewController::start();
    EventBus::instance().observe(this, Events::TBXStashly2FirstRun, [this](const Event &) { handleFirstRun(); });
}

QList<SortDescriptor> ListViewController::defaultSortDescriptors()
{
    return sortDescriptorsForColumn(QStringLiteral("item"), true);
}

QList<SortDescriptor> ListViewController::sortDescriptorsForColumn(const QString &identifier, bool ascending)
{
    const int c = RecordListColumn::indexOf(identifier);
    const bool text = c >= 0 && RecordListColumn::all().at(c).kind == RecordListColumn::Kind::Text;
    QList<SortDescriptor> sort { SortDescriptor(identifier, ascending,
                                                text ? SortDescriptor::Comparison::CaseInsensitive
                                                     : SortDescriptor::Comparison::Default) };
    if (identifier != QLatin1String("recordID"))
        sort.append(SortDescriptor(QStringLiteral("recordID"), true));
    return sort;
}

void ListViewController::sortByColumn(const QString &identifier, bool ascending)
{
    records().setSortDescriptors(sortDescriptorsForColumn(identifier, ascending));
    emit selectionChanged();
}

QList<ListViewController::ColumnMenuEntry> ListViewController::columnMenu() const
{
    QList<ColumnMenuEntry> entries;
    for (const RecordListColumn &c : RecordListColumn::all())
        entries.append({ c.identifier, c.title, isColumnVisible(c.identifier) });
    return entries;
}

void ListViewController::toggleColumn(const QString &identifier)
{
    if (RecordListColumn::indexOf(identifier) < 0)
        return;
    if (!m_hidden.remove(identifier))
        m_hidden.insert(identifier);
    saveColumns();
    emit columnsChanged();
}

void ListViewController::saveColumns() const
{
    QStringList hidden(m_hidden.begin(), m_hidden.end());
    hidden.sort();
    Settings::setValue(hiddenColumnsKey, hidden);
}

void ListViewController::handleFirstRun()
{
    // Hidden rather than toggled: the visibility is kept between runs, and a
    // second new library must not bring the columns back.
    for (const char *id : { "category", "insured", "recordQty", "replacementCost", "serialNumber", "vendorName" })
        m_hidden.insert(QString::fromLatin1(id));
    saveColumns();
    emit columnsChanged();
    sortByColumn(QStringLiteral("item"), true);
}

void ListViewController::tableViewSelectionDidChange(const QList<int> &rows)
{
    records().setSelectionIndexes(rows);
    publishSelection();
}

void ListViewController::publishSelection()
{
    m_published = records().selectedObjects();
    EventBus::instance().post(Events::TBXRecordListSelectionChanged, this,
                              { { EventKeys::selectedAssets, SelectedAssets::toVariant(records().selectedObjects()) },
                                { EventKeys::rowType, QStringLiteral("Record") } });
}

bool ListViewController::contextMenuForRow(int row)
{
    ArrayController &list = records();
    if (row < 0 || row >= list.arrangedObjects().size()) {
        list.setSelectionIndexes({});
        emit selectionChanged();
        publishSelection();
        return false;
    }
    if (!list.selectionIndexes().contains(row)) {
        list.setSelectionIndexes({ row });
        emit selectionChanged();
        publishSelection();
    } else if (list.selectionIndexes().size() == 1) {
        publishSelection();
    }
    return true;
}

bool ListViewController::performDrop(const QVariantMap &payload, int row, bool onRow)
{
    QVariantMap info = payload;
    info.insert(EventKeys::rowName, m_rowName);
    if (!DragPayload::hasFiles(info))
        return false;
    if (!onRow || row < 0 || row >= records().arrangedObjects().size()) {
        EventBus::instance().post(Events::TBXRecordListViewMakeNewRecord, this, info);
        return true;
    }
    records().setSelectionIndexes({ row });
    emit selectionChanged();
    publishSelection();
    EventBus::instance().post(Events::TBXFilesDraggedToRecord, this, info);
    return true;
}

void ListViewController::handleInputRefresh(const Event &event)
{
    if (event.name == Events::TBXRecordReqUpdate
        && event.userInfo.value(EventKeys::recAccessorName).toString() == QLatin1String("setCategory") && event.object
        && m_rowType == QLatin1String("Category")) {
        // The list follows the record into its new category. Only from a category
        // row: a smart folder's name must stay, or its view would stop filtering.
        const auto *record = static_cast<const ManagedObject *>(event.object);
        m_rowName = record->valueForKey(QStringLiteral("category")).toString();
    }
    RecordViewController::handleInputRefresh(event);
}

void ListViewController::handleNewRecordAdded(const Event &event)
{
    m_hold = false;
    refreshNow();
    records().setSelectedObjects(SelectedAssets::fromVariant(event.userInfo.value(EventKeys::selectedAssets)));
    emit selectionChanged();
    publishSelection();
}
