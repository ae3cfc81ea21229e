#include "records/RecordController.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "records/RecordCreator.h"
#include "records/RecordRequestHandlers.h"
#include "records/RecordSelection.h"
#include "records/VendorAssignment.h"
#include "store/ManagedObject.h"

RecordController::RecordController(ManagedObjectContext *context, const QString &package, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_package(package)
    , m_selection(std::make_unique<RecordSelection>(context))
    , m_creator(std::make_unique<RecordCreator>(context, package, *m_selection, this))
    , m_vendors(std::make_unique<VendorAssignment>(context, *m_selection))
    , m_requests(std::make_unique<RecordRequestHandlers>(context, package, *m_creator, *m_selection, *m_vendors, this))
{
    EventBus &bus = EventBus::instance();
    bus.observe(this, Events::TBXSelectedSourceNameChanged,
                [this](const Event &e) { handleSelectedSourceNameChanged(e.userInfo); });
    for (const QString &name : { Events::TBXRecordListSelectionChanged, Events::TBXImageBrowserSelectionChanged })
        bus.observe(this, name, [this](const Event &e) { handleSelectedRecordChanged(e.userInfo); });
    for (const QString &name :
         { Events::TBXFilesDraggedToCategory, Events::TBXBrowserMakeNewRecord, Events::TBXRecordListViewMakeNewRecord })
        bus.observe(this, name, [this](const Event &e) { handleNewRecordsFromFilesDraggedToCategory(e.userInfo); });
    bus.observe(this, Events::TBXNewRecordFromWebArchive,
                [this](const Event &e) { handleNewRecordFromWebArchive(e.userInfo); });
    bus.observe(this, Events::TBXNewRecordFromBarcode,
                [this](const Event &e) { handleNewRecordFromBarcode(e.userInfo); });
    bus.observe(this, Events::TBXPopulateRecordWithBarcodeLookupData,
                [this](const Event &e) { handlePopulateRecordWithBarcodeLookupData(e.userInfo); });
}

RecordController::~RecordController()
{
    EventBus::instance().remove(this);
}

void RecordController::setRecordArrayControllers(ArrayController *recordList, ArrayController *iconView)
{
    m_selection->setRecordArrayControllers(recordList, iconView);
}

void RecordController::setCategoryArrayController(ArrayController *categories)
{
    m_selection->setCategoryArrayController(categories);
}

QString RecordController::selectedCategoryName() const
{
    return m_selection->selectedCategoryName();
}

void RecordController::setSelectedCategoryName(const QString &name)
{
    m_selection->setSelectedCategoryName(name);
}

ObjectID RecordController::selectedMOID() const
{
    return m_selection->selectedMOID();
}

bool RecordController::silentAddNewRecord() const
{
    return m_creator->silentAddNewRecord();
}

void RecordController::setSilentAddNewRecord(bool silent)
{
    m_creator->setSilentAddNewRecord(silent);
}

QStringList RecordController::URIRepresentationsOfManagedObjects(const QList<ManagedObject *> &objects)
{
    QStringList uris;
    for (const ObjectID &id : IDsOfManagedObjects(objects))
        uris.append(id.uriRepresentation());
    return uris;
}

QList<ObjectID> RecordController::IDsOfManagedObjects(const QList<ManagedObject *> &objects)
{
    QList<ObjectID> ids;
    for (const ManagedObject *o : objects)
        if (o && o->objectID().isValid())
            ids.append(o->objectID());
    return ids;
}

Record *RecordController::addNewRecord(const QVariantMap &request)
{
    return m_creator->addNewRecord(request);
}

Record *RecordController::addNewRecordMenuButton()
{
    Record *record = addNewRecord({ { EventKeys::source, SourceUIClick } });
    if (record)
        emit newRecordReadyForEditing(record);
    return record;
}

QList<Record *> RecordController::makeNewRecordsFromFiles(const QVariantMap &info)
{
    return m_requests->makeNewRecordsFromFiles(info);
}

QList<Record *> RecordController::handleNewRecordsFromFilesDraggedToCategory(const QVariantMap &payload)
{
    return m_requests->makeNewRecordsFromFiles(payload);
}

Record *RecordController::handleNewRecordFromWebArchive(const QVariantMap &payload)
{
    return m_requests->handleNewRecordFromWebArchive(payload);
}

Record *RecordController::handleNewRecordFromBarcode(const QVariantMap &payload)
{
    return m_requests->handleNewRecordFromBarcode(payload);
}

void RecordController::handlePopulateRecordWithBarcodeLookupData(const QVariantMap &payload)
{
    m_requests->handlePopulateRecordWithBarcodeLookupData(payload);
}

void RecordController::handleSelectedSourceNameChanged(const QVariantMap &payload)
{
    m_selection->handleSelectedSourceNameChanged(payload);
}

void RecordController::handleSelectedRecordChanged(const QVariantMap &payload)
{
    m_selection->handleSelectedRecordChanged(payload);
}

void RecordController::vendorSourceSelected(const QString &vendor)
{
    m_vendors->vendorSourceSelected(vendor);
}
