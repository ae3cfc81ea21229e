#include "navigation/VisibleAssetController.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "navigation/RecordFilterCombination.h"
#include "navigation/SelectedAssets.h"
#include "navigation/SmartFolder.h"
#include "navigation/SourceListItem.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QSignalBlocker>
#include <QTimer>

namespace {
const QString kRecord = QStringLiteral("Record");
const QString kCategory = QStringLiteral("category");
} // namespace

VisibleAssetController &VisibleAssetController::sharedManager()
{
    static VisibleAssetController *shared = new VisibleAssetController;
    return *shared;
}

VisibleAssetController::VisibleAssetController()
    : m_records(std::make_unique<ArrayController>(nullptr, kRecord))
    , m_categories(std::make_unique<ArrayController>(nullptr, QStringLiteral("Category")))
    , m_smartFolders(std::make_unique<ArrayController>(nullptr, SmartFolder::entityName))
{
    m_categories->setSortDescriptors(
        { SortDescriptor(QStringLiteral("categoryName"), true, SortDescriptor::Comparison::CaseInsensitive) });
}

void VisibleAssetController::setManagedObjectContext(ManagedObjectContext *context)
{
    m_context = context;
    m_searchIndex.setManagedObjectContext(context);
    for (ArrayController *list : { m_records.get(), m_categories.get(), m_smartFolders.get() }) {
        list->setManagedObjectContext(context);
        list->setFilterPredicate(Predicate());
        list->setContent({});
    }
    m_rowIdentifier.clear();
    m_rowName.clear();
    m_rowType = SourceListItem::rowTypeAll;
    m_selectedRecords.clear();
    m_visibleAssets.clear();
    m_folderContents.clear();
    m_toPrepare.clear();
    if (context) {
        m_records->fetch();
        m_categories->fetch();
        m_smartFolders->fetch();
    }
}

QList<ManagedObject *> VisibleAssetController::allRecords() const
{
    if (!m_context)
        return {};
    return m_context->executeFetchRequest({ kRecord, Predicate(), {}, 0 });
}

QList<ManagedObject *> VisibleAssetController::smartFolderRecords(const ManagedObject *folder,
                                                                  const QList<ManagedObject *> &records) const
{
    // The corrected predicate, as the views filter by it: the badge then counts
    // exactly the records the folder shows.
    const std::optional<Predicate> predicate = SmartFolder::correctedPredicate(folder);
    if (!predicate)
        return {};
    QList<ManagedObject *> matching;
    for (ManagedObject *record : records)
        if (predicate->evaluate(*record))
            matching.append(record);
    return matching;
}

QList<ManagedObject *> VisibleAssetController::visibleAssetsForRowIdentifier(const QString &identifier,
                                                                             const QString &rowName,
                                                                             const QString &rowType,
                                                                             bool usingSearchField) const
{
    Q_UNUSED(identifier);
    Q_UNUSED(usingSearchField);
    if (!m_context)
        return {};
    if (rowType == SourceListItem::rowTypeCategory) {
        QList<ManagedObject *> matching;
        for (ManagedObject *record : allRecords())
            if (record->valueForKey(kCategory).toString() == rowName && record->valueForKey(kCategory).isValid())
                matching.append(record);
        return matching;
    }
    if (rowType == SourceListItem::rowTypeSmart) {
        QList<ManagedObject *> folders
            = m_context->executeFetchRequest({ SmartFolder::entityName, Predicate(), {}, 0 });
        ManagedObject *folder = RecordFilterCombination::smartFolderNamed(rowName, folders);
        if (!folder)
            return {};
        QList<ManagedObject *> records = smartFolderRecords(folder, allRecords());
        SortDescriptor::sort(
            records, { SortDescriptor(QStringLiteral("item"), true, SortDescriptor::Comparison::CaseInsensitive) });
        return records;
    }
    return {};
}

QHash<QString, int> VisibleAssetController::recordCountsByCategory() const
{
    QHash<QString, int> counts;
    if (!m_context)
        return counts;
    const int slot = m_context->model().entity(kRecord)->attributeIndex(kCategory);
    for (const ManagedObject *record : allRecords()) {
        const QVariant category = record->value(slot);
        if (category.isValid())
            ++counts[category.toString()];
    }
    return counts;
}

int VisibleAssetController::recordCountOfSmartFolder(const ManagedObject *folder,
                                                     const QList<ManagedObject *> &records) const
{
    const std::optional<Predicate> predicate = SmartFolder::correctedPredicate(folder);
    if (!predicate)
        return 0;
    int n = 0;
    for (const ManagedObject *record : records)
        n += predicate->evaluate(*record) ? 1 : 0;
    return n;
}

void VisibleAssetController::refreshVisibleAssetsUsingSearchField(bool usingSearchField)
{
    m_visibleAssets = visibleAssetsForRowIdentifier(m_rowIdentifier, m_rowName, m_rowType, usingSearchField);
    if (m_rowType != SourceListItem::rowTypeSmart || !m_context)
        return;
    const QList<ManagedObject *> folders
        = m_context->executeFetchRequest({ SmartFolder::entityName, Predicate(), {}, 0 });
    ManagedObject *folder = RecordFilterCombination::smartFolderNamed(m_rowName, folders);
    if (!folder)
        return;
    m_folderContents.insert(folder, m_visibleAssets);
    EventBus::instance().post(Events::TBXFilteredSmartFolder, this,
                              { { EventKeys::folderContents, SelectedAssets::toVariant(m_visibleAssets) },
                                { EventKeys::folderName, m_rowName } });
}

QList<ManagedObject *> VisibleAssetController::visibleAssetsWithRefreshUsingSearchField(bool usingSearchField)
{
    refreshVisibleAssetsUsingSearchField(usingSearchField);
    return m_visibleAssets;
}

QList<ManagedObject *> VisibleAssetController::recordListContent(const Predicate &filter)
{
    QList<ManagedObject *> content = allRecords();
    if (const std::optional<QString> text = RecordSearchIndex::searchTextIn(filter))
        if (std::optional<QList<ManagedObject *>> candidates = m_searchIndex.candidates(content, *text))
            content = std::move(*candidates);
    return content;
}

void VisibleAssetController::reloadRecordList()
{
    if (!m_context)
        return;
    // The same records with the same filter: the views rearrange on their own events.
    const QList<ManagedObject *> content = recordListContent(m_records->filterPredicate());
    if (content != m_records->content())
        m_records->setContent(content);
}

void VisibleAssetController::reloadRecordList(const Predicate &filter)
{
    if (!m_context)
        return;
    const QList<ManagedObject *> content = recordListContent(filter);
    if (content == m_records->content()) {
        m_records->setFilterPredicate(filter);
        return;
    }
    // Emptied first so that the new filter is not applied to the old content:
    // the list is arranged once, and announces only the final arrangement.
    {
        const QSignalBlocker blocker(m_records.get());
        m_records->setContent({});
        m_records->setFilterPredicate(filter);
    }
    m_records->setContent(content);
}

void VisibleAssetController::prepareSearch()
{
    const bool running = !m_toPrepare.isEmpty();
    m_toPrepare.clear();
    for (const ManagedObject *record : allRecords())
        m_toPrepare.append(record->objectID());
    if (!running && !m_toPrepare.isEmpty())
        QTimer::singleShot(0, &m_timerOwner, [this] { prepareNextSlice(); });
}

void VisibleAssetController::prepareNextSlice()
{
    // By identifier: records deleted meanwhile are simply skipped.
    const int n = std::min(500, int(m_toPrepare.size()));
    for (int i = 0; i < n && m_context; ++i)
        if (ManagedObject *record = m_context->objectWithID(m_toPrepare.at(i)); record && !record->isDeleted())
            m_searchIndex.prepare(record);
    m_toPrepare.remove(0, n);
    if (!m_toPrepare.isEmpty() && m_context)
        QTimer::singleShot(0, &m_timerOwner, [this] { prepareNextSlice(); });
    else
        m_toPrepare.clear();
}
