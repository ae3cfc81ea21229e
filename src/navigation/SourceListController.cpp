#include "navigation/SourceListController.h"

#include "base/Clock.h"
#include "base/Events.h"
#include "base/Log.h"
#include "core/Record.h"
#include "navigation/SmartFolder.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/UndoManager.h"

namespace {

const QString kCategoryName = QStringLiteral("categoryName");
const QString kGroupName = QStringLiteral("groupName");
// Records recalculated per event-loop turn at midnight: small enough that the
// interface stays responsive, large enough to finish 50,000 records in seconds.
constexpr int kRecalculationSlice = 1000;
// The row taken when nothing is selected.
constexpr int kAllRecords = SourceListTree::position(SourceListTree::FixedRow::AllRecords);
// After a category, smart folder or web group is removed, a selection lower
// down than this row moves up to the row above; nearer the top the selection
// step chooses again.
constexpr int kLastRowKeptAfterRemoval = 7;

// Re-reads a list from the store with its filter cleared, then puts the filter back.
void rereadUnfiltered(ArrayController &list)
{
    const Predicate filter = list.filterPredicate();
    list.setFilterPredicate(Predicate());
    list.fetch();
    list.setFilterPredicate(filter);
}

// Runs `fn` with the store's undo registration switched off.
template<typename Fn> void withoutUndoRegistration(ManagedObjectContext *context, Fn fn)
{
    UndoManager *undo = context ? context->undoManager() : nullptr;
    if (undo)
        undo->disableUndoRegistration();
    fn();
    if (undo)
        undo->enableUndoRegistration();
}

} // namespace

SourceListController::SourceListController(ManagedObjectContext *context, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_webGroups(std::make_unique<ArrayController>(context, QStringLiteral("Group")))
    , m_clock([] { return Clock::now(); })
    , m_recalculate([](ManagedObject *record) { Record::recalculateWarranties({ record }); })
    , m_coalescer([this] { refreshDataWithACUpdate(true); })
{
    m_midnightTimer.setInterval(60 * 1000);
    connect(&m_midnightTimer, &QTimer::timeout, this, &SourceListController::midnightChecker);
}

SourceListController::~SourceListController()
{
    EventBus::instance().remove(this);
}

void SourceListController::windowStart(int firstRefreshDelayMs)
{
    m_tree.setHoldsAllExpanded(true);
    postSelectedSourceNameChanged(this, SourceListItem::allRecordsHeaderTitle, SourceListItem::rowTypeAll,
                                  std::nullopt);
    observe();
    m_showsWebView = false;
    emit contentViewChanged(false);
    // All Records is there once the first refresh has made it; until then
    // there is nothing to publish.
    setSelectedRows({ SourceListTree::position(SourceListTree::FixedRow::AllRecords) });
    m_selectedSourceRow = nullptr;
    QTimer::singleShot(firstRefreshDelayMs, &m_timerOwner, [this] {
        refreshDataWithACUpdate(true);
        m_tree.setHoldsAllExpanded(false);
        emit treeRebuilt();
        emit selectionChanged();
    });
    m_midnightTimer.start();
}

void SourceListController::observe()
{
    EventBus &bus = EventBus::instance();
    // Changes that only need the tree rebuilt: coalesced per event-loop turn,
    // since a bulk change posts one event per record.
    for (const QString &name :
         { Events::UndoManagerDidUndoChange, Events::UndoManagerDidRedoChange, Events::TBXRefreshRequestOfSourceColumn,
           Events::TBXSmartFolderControllerReqUpdate, Events::TBXStashly1ImportReqRefresh, Events::TBXRecordReqUpdate })
        bus.observe(this, name, [this](const Event &) { m_coalescer.request(); });
    for (const QString &name : { Events::TBXDestructionControllerReqRefresh, Events::TBXApplicationFinishedLaunching })
        bus.observe(this, name, [this](const Event &e) { handleRefresh(e); });
    for (const QString &name : { Events::TBXAddCategoryReqRefresh, Events::TBXCategoryUpdated,
                                 Events::TBXWebGroupControllerReqRefresh, Events::TBXRecordControllerReqUpdate })
        bus.observe(this, name, [this](const Event &e) { handleForceSelectRow(e); });
}

bool SourceListController::refreshDataWithACUpdate(bool update)
{
    m_coalescer.cancel();
    VisibleAssetController &assets = VisibleAssetController::sharedManager();
    const QString selectedIdentifier = m_selectedSourceRow ? m_selectedSourceRow->identifier : QString();
    if (update && m_context) {
        assets.reloadRecordList();
        rereadUnfiltered(assets.categoryArrayController());
        rereadUnfiltered(assets.smartFolderArrayController());
        rereadUnfiltered(*m_webGroups);
    }
    // The filters are cleared while re-reading above; the rows come from the
    // unfiltered lists in list order.
    auto rowsOf = [](ArrayController &list) {
        const Predicate filter = list.filterPredicate();
        if (filter.isEmpty())
            return list.arrangedObjects();
        list.setFilterPredicate(Predicate());
        QList<ManagedObject *> all = list.arrangedObjects();
        list.setFilterPredicate(filter);
        return all;
    };

    std::vector<std::unique_ptr<SourceListItem>> library;
    library.push_back(
        std::make_unique<SourceListItem>(SourceListItem::libraryIdentifier, SourceListItem::allRecordsTitle));

    std::vector<std::unique_ptr<SourceListItem>> web;
    for (ManagedObject *group : rowsOf(*m_webGroups)) {
        const QString name = group->valueForKey(kGroupName).toString();
        auto row = std::make_unique<SourceListItem>(QStringLiteral("w_%1").arg(name), name);
        row->iconName = SourceListItem::webGroupIcon;
        row->representedObject = group;
        web.push_back(std::move(row));
    }

    const QHash<QString, int> counts = assets.recordCountsByCategory();
    std::vector<std::unique_ptr<SourceListItem>> categories;
    for (ManagedObject *category : rowsOf(assets.categoryArrayController())) {
        const QString name = category->valueForKey(kCategoryName).toString();
        auto row = std::make_unique<SourceListItem>(QStringLiteral("c_%1").arg(name), name);
        row->iconName = SourceListItem::categoryIcon;
        row->badge = counts.value(name, 0);
        row->representedObject = category;
        categories.push_back(std::move(row));
    }

    const QList<ManagedObject *> records = assets.allRecords();
    std::vector<std::unique_ptr<SourceListItem>> folders;
    for (ManagedObject *folder : rowsOf(assets.smartFolderArrayController())) {
        const QString name = SmartFolder::name(folder);
        auto row = std::make_unique<SourceListItem>(QStringLiteral("sf_%1").arg(name), name);
        row->iconName = SourceListItem::smartFolderIcon;
        row->badge = assets.recordCountOfSmartFolder(folder, records);
        row->representedObject = folder;
        folders.push_back(std::move(row));
    }

    m_selectedSourceRow = nullptr;
    m_tree.header(SourceListTree::Group::Library)->setChildren(std::move(library));
    m_tree.header(SourceListTree::Group::Categories)->setChildren(std::move(categories));
    m_tree.header(SourceListTree::Group::SmartFolders)->setChildren(std::move(folders));
    m_tree.header(SourceListTree::Group::Web)->setChildren(std::move(web));
    // The old rows are gone: find the selected one again by its identifier.
    for (SourceListItem *item : m_tree.visibleRowItems())
        if (!item->isHeader() && item->identifier == selectedIdentifier)
            m_selectedSourceRow = item;
    setSelectedRows(m_selectedRows);
    emit treeRebuilt();

    assets.refreshVisibleAssetsUsingSearchField(true);
    sourceListSelectionDidChange();
    return true;
}

void SourceListController::setSelectedRows(const QList<int> &rows)
{
    // A selection beyond the last row falls off, as in any table; one that a
    // rebuild moved onto a header falls off too (headers are not selectable).
    QList<int> kept;
    for (int row : rows) {
        const SourceListItem *item = m_tree.sourceListItemAtIndex(row).sourceListItem;
        if (item && !item->isHeader() && !kept.contains(row))
            kept.append(row);
    }
    if (kept == m_selectedRows)
        return;
    m_selectedRows = kept;
    emit selectionChanged();
}

void SourceListController::selectRowIndexes(const QList<int> &rows)
{
    // Selecting only headers (which cannot be selected) changes nothing.
    const bool anySelectable = std::any_of(rows.begin(), rows.end(), [this](int row) {
        const SourceListItem *item = m_tree.sourceListItemAtIndex(row).sourceListItem;
        return item && !item->isHeader();
    });
    if (!rows.isEmpty() && !anySelectable)
        return;
    setSelectedRows(rows);
    sourceListSelectionDidChange();
}

void SourceListController::sourceListSelectionDidChange()
{
    withoutUndoRegistration(m_context, [this] {
        const int row = m_selectedRows.isEmpty() ? kAllRecords : m_selectedRows.first();
        const SourceListTree::Lookup lookup = m_tree.sourceListItemAtIndex(row);
        SourceListItem *item = lookup.sourceListItem;
        if (!item || item->title == m_currentRowName)
            return;
        if (m_selectedRows.isEmpty() && !item->isHeader())
            setSelectedRows({ row });
        m_currentRowName = item->title;
        m_currentGroup = lookup.groupIdentifier;
        m_selectedSourceRow = item;
        Log::entry(QStringLiteral("SourceListController-sourceListSelectionDidChange: %1").arg(m_currentRowName));

        if (m_currentGroup == SourceListItem::webIdentifier) {
            m_showsWebView = true;
            emit contentViewChanged(true);
            postSelectedSourceNameChanged(item, m_currentRowName, SourceListItem::rowTypeWebGroup, true);
            return;
        }
        QString rowType = SourceListItem::rowTypeAll;
        bool canDelete = false;
        if (m_currentGroup == SourceListItem::categoryIdentifier) {
            rowType = SourceListItem::rowTypeCategory;
            canDelete = true;
        } else if (m_currentGroup == SourceListItem::smartFolderIdentifier) {
            rowType = SourceListItem::rowTypeSmart;
            canDelete = true;
        }
        m_showsWebView = false;
        emit contentViewChanged(false);
        VisibleAssetController &assets = VisibleAssetController::sharedManager();
        assets.setSelectedRowIdentifier(item->identifier);
        assets.setSelectedRowName(m_currentRowName);
        assets.setSelectedRowType(rowType);
        assets.setSelectedRecords({});
        assets.refreshVisibleAssetsUsingSearchField(true);
        postSelectedSourceNameChanged(item, m_currentRowName, rowType, canDelete);
    });
}

void SourceListController::postSelectedSourceNameChanged(const void *object, const QString &rowName,
                                                         const QString &rowType, std::optional<bool> canDelete)
{
    QVariantMap payload { { EventKeys::rowName, rowName }, { EventKeys::rowType, rowType } };
    if (canDelete)
        payload.insert(EventKeys::canDelete, *canDelete);
    EventBus::instance().post(Events::TBXSelectedSourceNameChanged, object, payload);
}

void SourceListController::handleRefresh(const Event &event)
{
    Log::entry(QStringLiteral("SourceListController-handleRefresh: %1").arg(event.name));
    const int previous = m_selectedRows.isEmpty() ? kAllRecords : m_selectedRows.first();
    if (event.name == midnightEvent) {
        recalculateAll(true);
        return;
    }
    if (event.name == Events::TBXApplicationFinishedLaunching) {
        recalculateAll(false);
        refreshDataWithACUpdate(true);
        QTimer::singleShot(500, &m_timerOwner, [this] { finishLaunching(); });
        return;
    }
    refreshDataWithACUpdate(true);

    if (event.name == Events::TBXDestructionControllerReqRefresh) {
        const QString itemType = event.userInfo.value(EventKeys::itemType).toString();
        const QString method = event.userInfo.value(EventKeys::methodCalled).toString();
        if (itemType == QLatin1String("Asset") || method == QLatin1String("undo") || method == QLatin1String("redo")) {
            selectRow(previous);
            return;
        }
        // A category, smart folder or web group went away.
        bool firstOfGroup = false;
        for (const SourceListTree::Group group :
             { SourceListTree::Group::Categories, SourceListTree::Group::SmartFolders, SourceListTree::Group::Web })
            firstOfGroup = firstOfGroup
                || m_tree.indexForVisibleSourceListItemIncludingHeaders(m_tree.header(group)) + 1 == previous;
        const int now = m_selectedRows.isEmpty() ? -1 : m_selectedRows.first();
        if (firstOfGroup)
            selectRow(previous);
        else if (previous > kLastRowKeptAfterRemoval && now != previous)
            selectRow(previous - 1);
        else
            sourceListSelectionDidChange();
        return;
    }
    if (event.name == Events::TBXRecordControllerReqUpdate || event.name == Events::TBXCategoryUpdated)
        selectRow(previous);
}

void SourceListController::handleForceSelectRow(const Event &event)
{
    handleRefresh(event);
    const QString rowName = event.userInfo.value(EventKeys::rowName).toString();
    QString group;
    QString identifier;
    if (event.name == Events::TBXAddCategoryReqRefresh || event.name == Events::TBXCategoryUpdated
        || event.name == Events::TBXRecordControllerReqUpdate) {
        group = SourceListItem::categoryIdentifier;
        identifier = QStringLiteral("c_%1").arg(rowName);
    } else if (event.name == Events::TBXWebGroupControllerReqRefresh) {
        group = SourceListItem::webIdentifier;
        identifier = QStringLiteral("w_%1").arg(rowName);
    } else if (event.name == contextMenuRequest) {
        identifier = event.userInfo.value(EventKeys::identifier).toString();
        const std::optional<SourceListTree::Group> kind
            = SourceListTree::groupOfContextMenuRowType(event.userInfo.value(EventKeys::rowType).toString());
        if (!kind || *kind == SourceListTree::Group::Library) {
            if (kind)
                Log::always(QStringLiteral("!!! Error trying to find: %1").arg(rowName));
            selectRow(SourceListTree::FixedRow::LibraryHeader);
            return;
        }
        group = m_tree.header(*kind)->identifier;
    } else {
        return;
    }
    bool found = false;
    const int position = m_tree.positionOfIdentifier(group, identifier, &found);
    // A row that is not there is not reported; the selection stays where it is.
    if (found)
        selectRow(position);
}

void SourceListController::finishLaunching()
{
    selectRow(SourceListTree::FixedRow::AllRecords);
    const SourceListTree::Lookup lookup = m_tree.sourceListItemAtIndex(kAllRecords);
    if (lookup.sourceListItem && !lookup.sourceListItem->isHeader()) {
        m_selectedSourceRow = lookup.sourceListItem;
        m_currentGroup = lookup.groupIdentifier;
    }
    EventBus::instance().post(Events::TBXSourceColumnLaunchComplete, this);
    emit selectionChanged();
}

void SourceListController::setGroupExpanded(const QString &groupIdentifier, bool expanded)
{
    if (m_tree.isExpanded(groupIdentifier) == expanded && !m_tree.holdsAllExpanded())
        return;
    // Positions below the group move; keep the same row selected.
    SourceListItem *selected = nullptr;
    if (!m_selectedRows.isEmpty())
        selected = m_tree.sourceListItemAtIndex(m_selectedRows.first()).sourceListItem;
    m_tree.setExpanded(groupIdentifier, expanded);
    const int position = selected ? m_tree.indexForVisibleSourceListItemIncludingHeaders(selected) : -1;
    m_selectedRows = position >= 0 ? QList<int> { position } : QList<int>();
    emit selectionChanged();
}

void SourceListController::doubleClickAction()
{
    QString key;
    if (m_currentGroup == SourceListItem::webIdentifier)
        key = EventKeys::webGroupName;
    else if (m_currentGroup == SourceListItem::categoryIdentifier)
        key = EventKeys::categoryName;
    else if (m_currentGroup == SourceListItem::smartFolderIdentifier)
        key = EventKeys::smartFolderName;
    else
        return;
    EventBus::instance().post(Events::TBXSourceDoubleClicked, this, { { key, m_currentRowName } });
}

std::optional<SourceListController::ContextMenu> SourceListController::contextMenuForRow(int row)
{
    const SourceListTree::Lookup lookup = m_tree.sourceListItemAtIndex(row);
    SourceListItem *item = lookup.sourceListItem;
    if (!item || item->isHeader() || lookup.groupIdentifier == SourceListItem::libraryIdentifier)
        return std::nullopt;
    const QString title = item->title;
    const QString identifier = item->identifier;
    m_selectedSourceRow = item;
    SourceListTree::Group kind = SourceListTree::Group::Library;
    if (identifier.startsWith(QLatin1String("c_")))
        kind = SourceListTree::Group::Categories;
    else if (identifier.startsWith(QLatin1String("sf")))
        kind = SourceListTree::Group::SmartFolders;
    else if (identifier.startsWith(QLatin1String("w_")))
        kind = SourceListTree::Group::Web;
    const QString type = SourceListTree::contextMenuRowType(kind);
    handleForceSelectRow(Event {
        contextMenuRequest,
        this,
        { { EventKeys::identifier, identifier }, { EventKeys::rowType, type }, { EventKeys::rowName, title } } });
    return ContextMenu { tr("Edit..."), tr("Delete '%1'").arg(title) };
}

void SourceListController::deleteSelectedRow()
{
    if (m_deleteAction)
        m_deleteAction();
}

bool SourceListController::validateDrop(int row, bool betweenRows) const
{
    if (betweenRows)
        return false;
    const SourceListTree::Lookup lookup = m_tree.sourceListItemAtIndex(row);
    return lookup.sourceListItem && !lookup.sourceListItem->isHeader()
        && lookup.groupIdentifier != SourceListItem::libraryIdentifier;
}

bool SourceListController::acceptRecordDrop(int row, const QStringList &recordURIs)
{
    if (!validateDrop(row, false) || !m_context)
        return false;
    const SourceListTree::Lookup lookup = m_tree.sourceListItemAtIndex(row);
    if (lookup.groupIdentifier != SourceListItem::categoryIdentifier)
        return false;
    const QString category = lookup.sourceListItem->title;
    QList<ManagedObject *> records;
    for (const QString &uri : recordURIs) {
        const std::optional<ObjectID> id = m_context->managedObjectIDForURIRepresentation(uri);
        ManagedObject *record = id ? m_context->objectWithID(*id) : nullptr;
        if (record && record->entityName() == QLatin1String("Record") && !record->isDeleted())
            records.append(record);
    }
    if (records.isEmpty())
        return false;
    for (ManagedObject *record : records)
        record->setValue(QStringLiteral("category"), category);
    m_context->commitEditing();
    m_context->save(); // a failed save is reported by the next save that fails
    VisibleAssetController::sharedManager().recordArrayController().setSelectionIndexes({});
    return true;
}

bool SourceListController::acceptFileDrop(int row, const QVariantMap &payload)
{
    if (!validateDrop(row, false) || payload.value(EventKeys::filePathArray).toStringList().isEmpty())
        return false;
    QVariantMap info = payload;
    info.insert(EventKeys::rowName, m_tree.sourceListItemAtIndex(row).sourceListItem->title);
    EventBus::instance().post(Events::TBXFilesDraggedToCategory, this, info);
    return true;
}

void SourceListController::midnightChecker()
{
    const QDateTime now = (m_clock ? m_clock() : QDateTime::currentDateTime()).toLocalTime();
    const QDateTime last = std::exchange(m_lastTick, now);
    // Ticks far apart mean the computer slept: the library is shown afresh, and a
    // midnight slept through is made up for.
    if (last.isValid() && last.secsTo(now) > 150) {
        handleRefresh(Event { wakeEvent, this, {} });
        if (last.date() != now.date() && !(now.time().hour() == 0 && now.time().minute() == 0))
            handleRefresh(Event { midnightEvent, this, {} });
    }
    if (now.time().hour() == 0 && now.time().minute() == 0)
        handleRefresh(Event { midnightEvent, this, {} });
}

void SourceListController::recalculateAll(bool inBackground)
{
    if (!m_recalculate)
        return;
    const QList<ManagedObject *> records = VisibleAssetController::sharedManager().allRecords();
    if (!inBackground) {
        for (ManagedObject *record : records)
            m_recalculate(record);
        return;
    }
    // The same records are on screen: rather than racing the interface from
    // another thread, the work is cut into slices between interface events.
    const bool running = !m_recalcQueue.isEmpty();
    m_recalcQueue = records;
    if (!running)
        QTimer::singleShot(0, &m_timerOwner, [this] { recalculateNextSlice(); });
}

void SourceListController::recalculateNextSlice()
{
    const int n = std::min(kRecalculationSlice, int(m_recalcQueue.size()));
    for (int i = 0; i < n; ++i) {
        ManagedObject *record = m_recalcQueue.at(i);
        if (!record->isDeleted())
            m_recalculate(record);
    }
    m_recalcQueue.remove(0, n);
    if (!m_recalcQueue.isEmpty())
        QTimer::singleShot(0, &m_timerOwner, [this] { recalculateNextSlice(); });
}
