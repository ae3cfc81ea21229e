#include "navigation/CollectionViewController.h"

#include "base/Events.h"
#include "navigation/DragPayload.h"
#include "navigation/SelectedAssets.h"
#include "navigation/SourceListItem.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QDateTime>
#include <QDir>

CollectionViewController::CollectionViewController(ManagedObjectContext *context, QObject *parent)
    : RecordViewController(context, IconMode, parent)
{
    connect(this, &RecordViewController::selectionShown, this, &CollectionViewController::selectionChanged);
}

void CollectionViewController::start()
{
    RecordViewController::start();
    EventBus::instance().observe(this, Events::TBXApplicationFinishedLaunching,
                                 [this](const Event &) { handleApplicationFinishedLaunching(); });
}

QString CollectionViewController::imagePath(const TBXImageBrowserItem &item) const
{
    if (m_thumbnails.isEmpty() || item.filename.isEmpty())
        return QString();
    return QDir(m_thumbnails).filePath(item.filename);
}

int CollectionViewController::itemCount() const
{
    return int(records().arrangedObjects().size());
}

TBXImageBrowserItem CollectionViewController::itemAt(int index) const
{
    const QList<ManagedObject *> &list = records().arrangedObjects();
    if (index < 0 || index >= list.size())
        return {};
    return TBXImageBrowserItem::fromRecord(list.at(index), m_uniqueIdentifier);
}

void CollectionViewController::setZoom(double zoom)
{
    zoom = std::clamp(zoom, 0.0, 1.0);
    if (qFuzzyCompare(zoom + 1.0, m_zoom + 1.0))
        return;
    m_zoom = zoom;
    emit zoomChanged(zoom);
}

void CollectionViewController::afterRefresh()
{
    // A new identifier per refresh: every thumbnail is read again.
    m_uniqueIdentifier = QStringLiteral("%1-%2").arg(QDateTime::currentMSecsSinceEpoch()).arg(++m_generation);
    emit itemsReloaded();
    emit selectionChanged();
}

void CollectionViewController::becameCurrent()
{
    // This order stays for the list view too until another one is chosen.
    records().setSortDescriptors({ SortDescriptor(QStringLiteral("recordID"), true) });
    refresh();
}

void CollectionViewController::handleApplicationFinishedLaunching()
{
    m_rowType = SourceListItem::rowTypeAll;
    refreshNow();
    if (isCurrent()) {
        records().setSelectionIndexes({});
        emit selectionChanged();
    }
}

void CollectionViewController::handleInputRefresh(const Event &event)
{
    // A condition change does not change what the icons show.
    if (event.name == Events::TBXRecordReqUpdate
        && event.userInfo.value(EventKeys::recAccessorName).toString() == QLatin1String("setCondition"))
        return;
    RecordViewController::handleInputRefresh(event);
}

void CollectionViewController::handleNewRecordAdded(const Event &event)
{
    m_hold = false;
    const QString rowName = event.userInfo.value(EventKeys::rowName).toString();
    if (rowName == SourceListItem::allRecordsHeaderTitle) {
        m_rowName = rowName;
        m_rowType = SourceListItem::rowTypeAll;
    } else {
        m_rowName = rowName;
        m_rowType = SourceListItem::rowTypeCategory;
    }
    refreshNow();
    m_addingNewRecord = true;
    records().setSelectedObjects(SelectedAssets::fromVariant(event.userInfo.value(EventKeys::selectedAssets)));
    emit selectionChanged();
    m_addingNewRecord = false;
    publishSelection();
}

void CollectionViewController::imageBrowserSelectionDidChange(const QList<int> &indexes, bool fromUser)
{
    if (m_rowType == SourceListItem::rowTypeWebGroup)
        return;
    if (!fromUser && !m_addingNewRecord) {
        emit selectionChanged();
        return;
    }
    ArrayController &list = records();
    list.setSelectionIndexes(indexes);
    publishSelection();
}

void CollectionViewController::publishSelection()
{
    const QList<ManagedObject *> selected = records().selectedObjects();
    m_published = selected;
    if (selected.isEmpty()) {
        EventBus::instance().post(Events::TBXImageBrowserSelectionChanged, this);
        return;
    }
    EventBus::instance().post(Events::TBXImageBrowserSelectionChanged, this,
                              { { EventKeys::selectedAssets, SelectedAssets::toVariant(selected) } });
}

ManagedObject *CollectionViewController::recordWithRecordID(const QString &filename) const
{
    bool ok = false;
    const double id = filename.toDouble(&ok);
    if (!ok)
        return nullptr;
    for (ManagedObject *record : records().arrangedObjects())
        if (record->valueForKey(QStringLiteral("recordID")).toDouble() == id)
            return record;
    return nullptr;
}

QList<ManagedObject *> CollectionViewController::recordsForItems(const QList<int> &indexes) const
{
    QList<ManagedObject *> found;
    for (int i : indexes)
        if (ManagedObject *record = recordWithRecordID(itemAt(i).filename); record && !found.contains(record))
            found.append(record);
    return found;
}

bool CollectionViewController::performDrop(const QVariantMap &payload, int index, bool onItem)
{
    if (onItem && index >= 0 && index < itemCount()) {
        records().setSelectionIndexes({ index });
        emit selectionChanged();
    }
    QVariantMap info = payload;
    info.insert(EventKeys::rowName, m_rowName);
    if (!DragPayload::hasFiles(info))
        return false;
    if (!onItem || index < 0 || index >= itemCount()) {
        EventBus::instance().post(Events::TBXBrowserMakeNewRecord, this, info);
        return true;
    }
    if (ManagedObject *record = recordWithRecordID(itemAt(index).filename)) {
        info.insert(EventKeys::targetMOID, record->objectID().uriRepresentation());
        records().setSelectedObjects({ record });
        emit selectionChanged();
        publishSelection();
    }
    EventBus::instance().post(Events::TBXBrowserAddToRecord, this, info);
    return true;
}
