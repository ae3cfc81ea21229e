#include "navigation/LocationBarController.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "navigation/VisibleAssetController.h"
#include "store/ManagedObject.h"

namespace {
const QString kLocationName = QStringLiteral("locationName");
}

LocationBarController::LocationBarController(ManagedObjectContext *context, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_locations(std::make_unique<ArrayController>(context, QStringLiteral("Location")))
{
    m_locations->setSortDescriptors(
        { SortDescriptor(kLocationName, true, SortDescriptor::Comparison::CaseInsensitive) });
}

LocationBarController::~LocationBarController()
{
    EventBus::instance().remove(this);
}

void LocationBarController::start()
{
    m_locations->fetch();
    m_allLocations = true;
    m_selected.clear();
    buildGroups();
    showSelection();
    EventBus &bus = EventBus::instance();
    bus.observe(this, Events::TBXLocationDeleted, [this](const Event &) { rebuild(true); });
    for (const QString &name :
         { Events::TBXLocationAdded, Events::TBXLocationNameUpdated, Events::TBXApplicationFinishedLaunching,
           Events::TBXRefreshRequestOfSourceColumn, Events::TBXStashly1ImportReqRefresh })
        bus.observe(this, name, [this](const Event &) { rebuild(false); });
}

void LocationBarController::buildGroups()
{
    Group all { allGroupIdentifier, tr("Viewing Locations:"), false, true, {} };
    all.items.append({ allItemIdentifier, tr("All"), false });
    Group locations { locationGroupIdentifier, QString(), true, true, {} };
    const QList<ManagedObject *> &list = m_locations->arrangedObjects();
    for (int i = 0; i < list.size(); ++i)
        locations.items.append({ QString::number(i), list.at(i)->valueForKey(kLocationName).toString(), false });
    if (locations.items.isEmpty())
        locations.items.append({ noneItemIdentifier, tr("No Locations Defined"), false });
    m_groups = { all, locations };
}

void LocationBarController::showSelection()
{
    m_groups[0].items[0].on = m_allLocations;
    for (Item &item : m_groups[1].items)
        item.on = !m_allLocations && m_selected.contains(item.identifier);
    emit changed();
}

void LocationBarController::setItemOn(const QString &identifier, bool on)
{
    if (identifier == noneItemIdentifier)
        return;
    if (identifier == allItemIdentifier) {
        if (on && !m_allLocations) {
            m_allLocations = true;
            m_selected.clear();
        } else if (!on && m_allLocations) {
            m_allLocations = false;
            m_selected.clear();
            for (const Item &item : std::as_const(m_groups[1].items))
                if (item.identifier != noneItemIdentifier)
                    m_selected.append(item.identifier);
        }
    } else {
        if (m_allLocations)
            m_selected.clear(); // the items shown off while "All" was on
        m_allLocations = false;
        if (on && !m_selected.contains(identifier))
            m_selected.append(identifier);
        if (!on)
            m_selected.removeAll(identifier);
    }
    showSelection();
    filterStep();
}

void LocationBarController::filterStep()
{
    // The shared record list takes the location filter alone at once; the
    // record view whose mode is current narrows it further on the event.
    VisibleAssetController &assets = VisibleAssetController::sharedManager();
    if (m_allLocations) {
        m_filter = Predicate();
        m_image = offImage;
        assets.reloadRecordList(m_filter);
        emit changed();
        EventBus::instance().post(Events::TBXLocationsDidFilter, this);
        return;
    }
    QStringList names;
    for (const Item &item : std::as_const(m_groups[1].items))
        if (item.identifier != noneItemIdentifier && m_selected.contains(item.identifier))
            names.append(item.title);
    // With nothing chosen the list is empty, and no record matches.
    m_filter = Predicate::fromFormat(QStringLiteral("location IN %@"), { names });
    m_image = onImage;
    assets.reloadRecordList(m_filter);
    emit changed();
    EventBus::instance().post(Events::TBXLocationsDidFilter, this,
                              { { EventKeys::locationFilterPredicate, QVariant::fromValue(m_filter) } });
}

void LocationBarController::rebuild(bool locationDeleted)
{
    if (locationDeleted) {
        m_allLocations = true;
        m_selected.clear();
    }
    m_locations->fetch();
    buildGroups();
    // Locations are remembered by position; positions past the end are dropped.
    QStringList kept;
    for (const QString &id : std::as_const(m_selected))
        if (id.toInt() < m_locations->arrangedObjects().size())
            kept.append(id);
    m_selected = kept;
    // The filter is built from the new titles, so that a renamed location
    // filters by its new name.
    filterStep();
    showSelection();
}
