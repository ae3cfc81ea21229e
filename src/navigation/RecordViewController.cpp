#include "navigation/RecordViewController.h"

#include "base/Events.h"
#include "navigation/RecordFilterCombination.h"
#include "navigation/SearchFieldController.h"
#include "navigation/SelectedAssets.h"
#include "navigation/SmartFolder.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

RecordViewController::RecordViewController(ManagedObjectContext *context, int ownMode, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_ownMode(ownMode)
    , m_coalescer([this] { refreshNow(); })
    , m_selectionCheck([this] { selectionMayHaveChanged(); })
{
    // The shared selection also changes without this view: records leaving the
    // list, another controller clearing it. The current view then says so, as it
    // would for a selection the user changed (once per event-loop turn).
    connect(&records(), &ArrayController::selectionChanged, this, [this] { m_selectionCheck.request(); });
}

void RecordViewController::selectionMayHaveChanged()
{
    if (!isCurrent() || m_hold || records().selectedObjects() == m_published)
        return;
    emit selectionShown();
    publishSelection();
}

RecordViewController::~RecordViewController()
{
    EventBus::instance().remove(this);
}

ArrayController &RecordViewController::records() const
{
    return VisibleAssetController::sharedManager().recordArrayController();
}

void RecordViewController::start()
{
    EventBus &bus = EventBus::instance();
    bus.observe(this, Events::TBXSelectedSourceNameChanged,
                [this](const Event &e) { handleSelectedSourceNameChanged(e); });
    bus.observe(this, Events::TBXRecordControllerReqDelayUpdate, [this](const Event &) { m_hold = true; });
    bus.observe(this, Events::TBXRecordControllerReqUpdate, [this](const Event &) {
        m_hold = false;
        refresh();
    });
    for (const QString &name :
         { Events::TBXRecordReqUpdate, Events::TBXThumbnailControllerReqRefresh,
           Events::TBXDestructionControllerReqRefresh, Events::TBXLocationsDidFilter, Events::TBXSearchFieldUpdated })
        bus.observe(this, name, [this](const Event &e) { handleInputRefresh(e); });
    bus.observe(this, Events::TBXFilteredSmartFolder, [this](const Event &e) {
        m_folderContents.insert(e.userInfo.value(EventKeys::folderName).toString(),
                                SelectedAssets::fromVariant(e.userInfo.value(EventKeys::folderContents)));
    });
    bus.observe(this, Events::TBXViewModeChanged, [this](const Event &e) { handleViewModeChanged(e); });
    bus.observe(this, Events::TBXRecordControllerNewRecordAdded, [this](const Event &e) {
        if (isCurrent())
            handleNewRecordAdded(e);
    });
}

void RecordViewController::handleSelectedSourceNameChanged(const Event &event)
{
    m_rowName = event.userInfo.value(EventKeys::rowName).toString();
    m_rowType = event.userInfo.value(EventKeys::rowType).toString();
    refresh();
}

void RecordViewController::handleInputRefresh(const Event &event)
{
    m_hold = false;
    if (event.name == Events::TBXLocationsDidFilter) {
        const QVariant p = event.userInfo.value(EventKeys::locationFilterPredicate);
        m_locationFilter = p.metaType() == QMetaType::fromType<Predicate>() ? p.value<Predicate>() : Predicate();
    } else if (event.name == Events::TBXSearchFieldUpdated) {
        m_searchFilter = SearchFieldController::searchFilterFromPayload(event.userInfo);
    }
    // The refresh keeps the selection.
    refresh();
}

void RecordViewController::handleViewModeChanged(const Event &event)
{
    const bool wasCurrent = isCurrent();
    m_mode = modeFromText(event.userInfo.value(EventKeys::viewMode).toString());
    if (isCurrent() && !wasCurrent)
        becameCurrent();
}

void RecordViewController::refreshNow()
{
    m_coalescer.cancel();
    if (m_hold || !isCurrent() || !m_context)
        return;
    m_context->processPendingChanges();
    ArrayController &list = records();
    const QList<ManagedObject *> remembered = list.selectedObjects();
    const QList<ManagedObject *> folders
        = m_context->executeFetchRequest({ SmartFolder::entityName, Predicate(), {}, 0 });
    const std::optional<Predicate> filter
        = RecordFilterCombination::combinedFilter(m_locationFilter, m_searchFilter, m_rowType, m_rowName, folders);
    // The list is re-read for smart folders too: records deleted or added since
    // the last refresh must not linger in (or be missing from) a folder's view.
    if (filter)
        VisibleAssetController::sharedManager().reloadRecordList(*filter);
    if (!remembered.isEmpty())
        list.setSelectedObjects(remembered);
    afterRefresh();
    emit refreshed();
    // The list may have been arranged without announcing every step.
    m_selectionCheck.request();
}

int RecordViewController::modeFromText(const QString &text)
{
    if (text == QLatin1String("icon"))
        return IconMode;
    if (text == QLatin1String("enhanced"))
        return EnhancedMode;
    return ListMode;
}

QString RecordViewController::textFromMode(int mode)
{
    switch (mode) {
    case IconMode:
        return QStringLiteral("icon");
    case EnhancedMode:
        return QStringLiteral("enhanced");
    default:
        return QStringLiteral("list");
    }
}
