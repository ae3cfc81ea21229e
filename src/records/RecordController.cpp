#include "records/RecordController.h"

#include "base/Clock.h"
#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Log.h"
#include "core/CurrencyLabel.h"
#include "core/Record.h"
#include "store/ArrayController.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectContext.h"
#include "core/SaveFailureConvention.h"
#include "store/ToManySet.h"
#include "records/RecordPackageFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLocale>
#include <QRegularExpression>

#include <cerrno>
#include <cmath>

namespace {

bool g_silentAddNewRecord = false;
// The last record number handed out in this process: numbers only grow, so two
// records made within one tick of the clock still get numbers of their own.
double g_lastRecordNumber = 0;
// The step to the next free record number: the last digit of the recordID text.
constexpr double kRecordNumberStep = 1e-6;

const QString kCategory = QStringLiteral("Category");
const QString kCategoryName = QStringLiteral("categoryName");
const QString kCategoryType = QStringLiteral("categoryType");
const QString kStuff = QStringLiteral("Stuff");

QVariantList assets(const QList<ManagedObject *> &objects)
{
    QVariantList list;
    for (ManagedObject *o : objects)
        list.append(QVariant::fromValue(o));
    return list;
}

// A decimal text such as "19.99" (from a product lookup) as a number; also
// tolerates a currency sign or grouping around the digits.
std::optional<double> decimalFromText(const QString &text)
{
    bool ok = false;
    double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok) {
        QString digits = text;
        digits.remove(QRegularExpression(QStringLiteral("[^0-9.\\-]")));
        value = QLocale::c().toDouble(digits, &ok);
    }
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QUrl addressOf(const QString &text)
{
    const QUrl url(text);
    return url.scheme().isEmpty() ? QUrl::fromLocalFile(text) : url;
}

} // namespace

RecordController::RecordController(ManagedObjectContext *context, const QString &package, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_package(package)
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
    m_recordList = recordList;
    m_iconView = iconView;
}

void RecordController::setCategoryArrayController(ArrayController *categories)
{
    m_categories = categories;
}

bool RecordController::silentAddNewRecord()
{
    return g_silentAddNewRecord;
}

void RecordController::setSilentAddNewRecord(bool silent)
{
    g_silentAddNewRecord = silent;
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

std::optional<double> RecordController::makeRecordFolder(QString *error)
{
    double candidate = Clock::timeIntervalSinceReferenceDate();
    if (candidate <= g_lastRecordNumber)
        candidate = g_lastRecordNumber + kRecordNumberStep;
    for (int attempt = 0; attempt < 100000; ++attempt, candidate += kRecordNumberStep) {
        // The number is what its text says, so that both always name the same folder.
        const QString text = Record::recordIDText(candidate);
        candidate = text.toDouble();
        const QString folder = RecordPackageFiles::filesFolder(m_package, text);
        // A folder or thumbnail of that number belongs to another record (perhaps
        // a deleted one that undo may bring back): take the next free number.
        if (QFileInfo::exists(folder) || QFileInfo::exists(RecordPackageFiles::thumbnailPath(m_package, text)))
            continue;
        errno = 0;
        if (!QDir().mkdir(folder)) {
            *error = QStringLiteral("The folder \"%1\" could not be created: %2")
                         .arg(folder, errno ? qt_error_string(errno) : QStringLiteral("unknown error"));
            return std::nullopt;
        }
        g_lastRecordNumber = candidate;
        return candidate;
    }
    *error = QStringLiteral("No free record number near %1").arg(Record::recordIDText(candidate));
    return std::nullopt;
}

ManagedObject *RecordController::categoryNamed(const QString &name) const
{
    const QList<ManagedObject *> found = m_context->executeFetchRequest(
        { kCategory, Predicate::fromFormat(QStringLiteral("%K == %@"), { kCategoryName, name }), {}, 1 });
    return found.isEmpty() ? nullptr : found.first();
}

QString RecordController::defaultName(const QString &entity, const QString &flag, const QString &nameKey) const
{
    const QList<ManagedObject *> found = m_context->executeFetchRequest(
        { entity, Predicate::fromFormat(QStringLiteral("%K == YES"), { flag }), {}, 1 });
    return found.isEmpty() ? QString(QLatin1String("")) : found.first()->valueForKey(nameKey).toString();
}

QString RecordController::defaultCurrency() const
{
    const QList<ManagedObject *> found = m_context->executeFetchRequest(
        { QStringLiteral("Currency"),
          Predicate::fromFormat(QStringLiteral("%K == YES"), { QStringLiteral("isDefault") }),
          {},
          1 });
    if (found.isEmpty())
        return QStringLiteral("");
    return CurrencyLabel::longCurrency(*found.first());
}

QList<ManagedObject *> RecordController::recordsWithBarcode(const QVariant &barcode) const
{
    const QString code = barcode.toString();
    if (code.isEmpty())
        return {};
    // MATCHES takes a pattern: the code is matched as the literal text it is.
    return m_context->executeFetchRequest(
        { Record::Entity,
          Predicate::fromFormat(QStringLiteral("%K MATCHES %@"),
                                { QStringLiteral("barcode"), QRegularExpression::escape(code) }),
          {},
          0 });
}

void RecordController::selectRecord(Record *record)
{
    for (ArrayController *list : { m_recordList, m_iconView })
        if (list)
            list->setSelectedObjects({ record });
}

QList<ManagedObject *> RecordController::selectedRecords() const
{
    if (m_recordList)
        return m_recordList->selectedObjects();
    ManagedObject *last = m_context ? m_context->objectWithID(m_selectedMOID) : nullptr;
    return last ? QList<ManagedObject *> { last } : QList<ManagedObject *> {};
}

Record *RecordController::addNewRecord(const QVariantMap &request)
{
    if (!m_context)
        return nullptr;
    EventBus &bus = EventBus::instance();
    const QString source = request.value(EventKeys::source).toString();

    for (ArrayController *list : { m_recordList, m_iconView })
        if (list)
            list->setSelectionIndexes({});
    bus.post(Events::TBXRecordControllerReqDelayUpdate, this);

    // The folder and the thumbnail come first: without them there is no record.
    QString error;
    const std::optional<double> number = makeRecordFolder(&error);
    if (!number) {
        Log::always(QStringLiteral("Stashly 2: error creating files path: %1").arg(error));
        return nullptr;
    }
    const QString idText = Record::recordIDText(*number);
    const QString folder = RecordPackageFiles::filesFolder(m_package, idText);
    const QString thumbnail = RecordPackageFiles::thumbnailPath(m_package, idText);
    const QStringList paths = request.value(EventKeys::filePathArray).toStringList();
    if (source == SourceIPhoto || source == SourceBarcode) {
        if (!paths.isEmpty() && !RecordPackageFiles::copyFile(paths.first(), thumbnail, &error)) {
            Log::always(QStringLiteral("Stashly 2: error copying image from iPhoto library: %1").arg(error));
            QDir().rmdir(folder);
            return nullptr;
        }
    } else {
        const QByteArray placeholder = RecordPackageFiles::placeholderImageData();
        if (placeholder.isEmpty())
            error = QStringLiteral("the placeholder picture camera.png is missing");
        if (placeholder.isEmpty() || !RecordPackageFiles::writeFile(thumbnail, placeholder, &error)) {
            Log::always(QStringLiteral("Stashly 2: error copying camera image: %1").arg(error));
            QDir().rmdir(folder);
            return nullptr;
        }
    }

    if (m_selectedCategoryName.isEmpty()) {
        ManagedObject *unfiled = categoryNamed(unfiledCategoryName);
        if (!unfiled) {
            unfiled = m_context->insertNewObject(kCategory);
            unfiled->setValue(kCategoryName, unfiledCategoryName);
            unfiled->setValue(kCategoryType, kStuff);
            SaveFailureConvention::commitChanges(*m_context, unfiled);
            bus.post(Events::TBXAddCategoryReqRefresh, this, { { EventKeys::rowName, unfiledCategoryName } });
        }
        if (m_categories)
            m_categories->setSelectedObjects({ unfiled });
        m_selectedCategoryName = unfiledCategoryName;
    }

    QList<ManagedObject *> templates;
    if (m_selectedCategoryName != allRecordsRowName)
        if (ManagedObject *category = categoryNamed(m_selectedCategoryName))
            templates = category->relatedObjects(category->entity().relationshipIndex(QStringLiteral("customField")));

    const QString payment = defaultName(QStringLiteral("PaymentMethod"), QStringLiteral("isDefaultPayment"),
                                        QStringLiteral("methodName"));
    const QString location
        = defaultName(QStringLiteral("Location"), QStringLiteral("isDefault"), QStringLiteral("locationName"));
    const QString currency = defaultCurrency();

    Record *record = Record::from(m_context->insertNewObject(Record::Entity));
    if (!record) {
        Log::always(QStringLiteral("Stashly 2: records cannot be made: the Record class is not registered"));
        QFile::remove(thumbnail);
        QDir().rmdir(folder);
        return nullptr;
    }
    record->setCategory(m_selectedCategoryName);
    record->setPaymentMethod(payment);
    record->setLocation(location);
    record->setCurrency(currency);
    record->setReplacementCurrency(currency);
    // One of a thing unless said otherwise; an empty quantity would show as 0 in
    // the form and count as nothing in totals.
    record->setRecordQty(1);
    record->setRecordID(*number);
    record->setModel(QStringLiteral(""));
    record->setItem(QStringLiteral("New Item"));
    record->setManufacturer(QStringLiteral(""));
    if (source == SourceIPhoto && !paths.isEmpty())
        record->setPhoto(paths.first());

    ToManySet fields = record->mutableSetValueForKey(QStringLiteral("customField"));
    for (const ManagedObject *t : templates) {
        ManagedObject *field = m_context->insertNewObject(QStringLiteral("RecordCustomField"));
        field->setValue(QStringLiteral("cfName"), t->valueForKey(QStringLiteral("customFieldName")));
        field->setValue(QStringLiteral("cfType"), t->valueForKey(QStringLiteral("customFieldType")));
        fields.addObject(field);
    }

    if (source == SourceUIClick) {
        record->setPurchaseDate(Clock::now());
    } else if (source == SourceFiles || source == SourceInbox || source == SourceIPhoto) {
        const QVariant fileDate = request.value(fileDateKey);
        if (fileDate.isValid())
            record->setPurchaseDate(fileDate);
    }

    if (source == SourceBarcode) {
        record->setItem(request.value(titleKey));
        record->setManufacturer(request.value(brandKey));
        record->setModel(request.value(modelKey));
        record->setBarcode(request.value(barcodeKey));
        const QString cost = request.value(replacementCostKey).toString();
        if (!cost.isEmpty()) {
            if (const std::optional<double> value = decimalFromText(cost)) {
                record->setReplacementCost(*value);
                record->setReplacementCurrency(currency);
            } else {
                Log::always(QStringLiteral("Stashly 2: list price \"%1\" is not a number").arg(cost));
            }
        }
    }

    m_selectedMOID = record->objectID();
    record->setDelayNotification(false);
    SaveFailureConvention::commitChanges(*m_context, record);

    selectRecord(record);
    if (source != SourceCSV)
        bus.post(Events::TBXRefreshRequestOfSourceColumn, this,
                 { { EventKeys::sender, QStringLiteral("RecordController") },
                   { EventKeys::method, QStringLiteral("addNewRecord") },
                   { EventKeys::rowName, m_selectedCategoryName },
                   { EventKeys::newRecordMOID, QVariant::fromValue(m_selectedMOID) } });
    if (!g_silentAddNewRecord) {
        const QVariantList selected = assets({ record });
        QVariantList indexes;
        if (m_recordList)
            for (int i : m_recordList->selectionIndexes())
                indexes.append(i);
        bus.post(Events::TBXRecordControllerReqUpdate, this,
                 { { EventKeys::rowName, m_selectedCategoryName }, { EventKeys::selectedAssets, selected } });
        bus.post(Events::TBXRecordControllerNewRecordAdded, this,
                 { { EventKeys::selectedAssets, selected },
                   { EventKeys::recordCreationMethod, source },
                   { EventKeys::rowName, m_selectedCategoryName },
                   { EventKeys::selectionIndexSet, indexes } });
    }
    return record;
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
    // Files dropped on ALL RECORDS go where the New Record command puts records
    // made there: into "Unfiled", not into a category named after the row.
    const auto targetCategory = [&info] {
        const QString row = info.value(EventKeys::rowName).toString();
        return row == allRecordsRowName ? QString() : row;
    };
    m_selectedCategoryName = targetCategory();
    const QString given = info.value(EventKeys::source).toString();
    const QString source = given == SourceInbox ? SourceInbox : given == SourceIPhoto ? SourceIPhoto : SourceFiles;
    QList<Record *> made;
    for (const QString &path : info.value(EventKeys::filePathArray).toStringList()) {
        const QDateTime created = RecordPackageFiles::creationDate(path);
        QVariantMap request { { EventKeys::source, source },
                              { fileDateKey, created.isValid() ? created : Clock::now() },
                              { EventKeys::filePathArray, QStringList { path } } };
        Record *record = addNewRecord(request);
        if (!record)
            continue;
        made.append(record);
        if (m_recordList)
            m_recordList->setSelectedObjects({ record });
        // Photo-library pictures stay where they are: the thumbnail and the
        // photo path are all the record keeps of them.
        if (source != SourceIPhoto) {
            request.insert(recordKey, QVariant::fromValue<ManagedObject *>(record));
            EventBus::instance().post(Events::TBXFilesDraggedToRecordTable, this, request);
        }
    }
    m_selectedCategoryName = targetCategory();
    return made;
}

QList<Record *> RecordController::handleNewRecordsFromFilesDraggedToCategory(const QVariantMap &payload)
{
    return makeNewRecordsFromFiles(payload);
}

Record *RecordController::handleNewRecordFromWebArchive(const QVariantMap &payload)
{
    const QString remembered = m_selectedCategoryName;
    m_selectedCategoryName = payload.value(QStringLiteral("category")).toString();
    Record *record = addNewRecord({ { EventKeys::source, SourceWebArchive } });
    if (record) {
        static const std::pair<const char *, const char *> copies[]
            = { { "item", "item" },         { "model", "model" },           { "mfg", "manufacturer" },
                { "category", "category" }, { "location", "location" },     { "condition", "condition" },
                { "qty", "recordQty" },     { "labelIndex", "labelIndex" }, { "vendor", "vendorName" } };
        for (const auto &[from, to] : copies) {
            const QString key = QString::fromLatin1(from);
            if (payload.contains(key))
                record->setValue(QString::fromLatin1(to), payload.value(key));
        }
        vendorSourceSelected(payload.value(QStringLiteral("vendor")).toString());
        SaveFailureConvention::commitChanges(*m_context, record);
        EventBus::instance().post(
            Events::TBXAddWebArchiveToNewRecord, this,
            { { EventKeys::source, SourceWebArchive },
              { EventKeys::filePathArray, QStringList { payload.value(EventKeys::filePath).toString() } },
              { fileDateKey, Clock::now() },
              { recordKey, QVariant::fromValue<ManagedObject *>(record) } });
    }
    m_selectedCategoryName = remembered;
    return record;
}

Record *RecordController::handleNewRecordFromBarcode(const QVariantMap &payload)
{
    if (!m_context)
        return nullptr;
    const QList<ManagedObject *> known = recordsWithBarcode(payload.value(barcodeKey));
    if (!known.isEmpty()) {
        // One more of something already in the library. A record that never had
        // a quantity counted as one.
        Record *record = Record::from(known.first());
        const QVariant quantity = record->valueForKey(QStringLiteral("recordQty"));
        record->setRecordQty((quantity.isValid() ? quantity.toLongLong() : 1) + 1);
        SaveFailureConvention::commitChanges(*m_context, record);
        return record;
    }

    const QString categoryKey = QStringLiteral("category");
    if (payload.contains(categoryKey)) {
        const QString group = payload.value(categoryKey).toString();
        const QList<ManagedObject *> matching = m_context->executeFetchRequest(
            { kCategory,
              Predicate::fromFormat(QStringLiteral("%K MATCHES %@"),
                                    { kCategoryName, QRegularExpression::escape(group) }),
              {},
              0 });
        if (matching.isEmpty()) {
            ManagedObject *category = m_context->insertNewObject(kCategory);
            category->setValue(kCategoryName, group);
            category->setValue(kCategoryType, kStuff);
            if (SaveFailureConvention::commitChanges(*m_context, category))
                m_selectedCategoryName = group;
        } else if (matching.size() == 1) {
            m_selectedCategoryName = matching.first()->valueForKey(kCategoryName).toString();
        }
        EventBus::instance().post(Events::TBXAddCategoryReqRefresh, this,
                                  { { EventKeys::rowName, m_selectedCategoryName } });
    }

    QVariantMap request { { EventKeys::source, SourceBarcode } };
    const QString imageKey = QStringLiteral("imagePath");
    if (payload.contains(imageKey)) {
        const QString target = QDir(m_package).filePath(QStringLiteral("Temp/AmazonThumbnail.jpg"));
        const QImage image = QImage::fromData(RecordPackageFiles::fetch(addressOf(payload.value(imageKey).toString())));
        QString error;
        if (RecordPackageFiles::writeJpeg(image, target, 0, &error)) {
            request.insert(EventKeys::filePathArray, QStringList { target });
        } else {
            Log::always(QStringLiteral("Stashly 2: save file error. Path: %1").arg(target));
            request.insert(EventKeys::filePathArray, QStringList {});
        }
    }
    if (payload.contains(QStringLiteral("listPrice")))
        request.insert(replacementCostKey, payload.value(QStringLiteral("listPrice")));
    for (const QString &key : { modelKey, brandKey, titleKey, barcodeKey })
        if (payload.contains(key))
            request.insert(key, payload.value(key));
    request.insert(EventKeys::rowName, m_selectedCategoryName);

    Record *record = addNewRecord(request);
    if (record) {
        QVariantMap update = request;
        update.insert(EventKeys::selectedAssets, assets({ record }));
        EventBus::instance().post(Events::TBXRecordControllerReqUpdate, this, update);
        if (m_recordList)
            m_recordList->setSelectedObjects({ record });
    }
    return record;
}

void RecordController::handlePopulateRecordWithBarcodeLookupData(const QVariantMap &payload)
{
    if (!m_context)
        return;
    const QList<ManagedObject *> known = recordsWithBarcode(payload.value(barcodeKey));
    if (!known.isEmpty()) {
        Record *record = Record::from(known.first());
        const QString price = payload.value(QStringLiteral("listPrice")).toString();
        if (payload.contains(QStringLiteral("listPrice"))) {
            if (const std::optional<double> value = decimalFromText(price))
                record->setReplacementCost(*value);
        }
        if (payload.contains(modelKey))
            record->setModel(payload.value(modelKey));
        if (payload.contains(brandKey))
            record->setManufacturer(payload.value(brandKey));
        if (payload.contains(titleKey))
            record->setItem(payload.value(titleKey));
        const QString imageKey = QStringLiteral("imagePath");
        if (payload.contains(imageKey)) {
            const QString target = RecordPackageFiles::thumbnailPath(m_package, record->recordIDText());
            const QImage image
                = QImage::fromData(RecordPackageFiles::fetch(addressOf(payload.value(imageKey).toString())));
            QString error;
            if (!RecordPackageFiles::writeJpeg(image, target, 0, &error))
                Log::always(QStringLiteral("Stashly 2: save file error. Path: %1").arg(target));
        }
    }
    EventBus::instance().post(
        Events::TBXRecordControllerReqUpdate, this,
        { { EventKeys::rowName, m_selectedCategoryName }, { EventKeys::selectedAssets, assets(selectedRecords()) } });
}

void RecordController::handleSelectedSourceNameChanged(const QVariantMap &payload)
{
    const QString type = payload.value(EventKeys::rowType).toString();
    if (type == QLatin1String("Category"))
        m_selectedCategoryName = payload.value(EventKeys::rowName).toString();
    else if (type == QLatin1String("All"))
        m_selectedCategoryName.clear();
    else
        return;
    for (ArrayController *list : { m_recordList, m_iconView })
        if (list)
            list->setSelectionIndexes({});
}

void RecordController::handleSelectedRecordChanged(const QVariantMap &payload)
{
    const QVariantList selected = payload.value(EventKeys::selectedAssets).toList();
    if (selected.size() != 1)
        return;
    if (const ManagedObject *record = selected.first().value<ManagedObject *>())
        m_selectedMOID = record->objectID();
}

void RecordController::vendorSourceSelected(const QString &vendor)
{
    if (vendor.isEmpty() || !m_context)
        return;
    const QString entity = QStringLiteral("Vendor");
    const QString nameKey = QStringLiteral("vendorName");
    if (!m_context
             ->executeFetchRequest(
                 { entity, Predicate::fromFormat(QStringLiteral("%K == %@"), { nameKey, vendor }), {}, 1 })
             .isEmpty())
        return;
    ManagedObject *made = m_context->insertNewObject(entity);
    made->setValue(nameKey, vendor);
    for (ManagedObject *object : selectedRecords())
        object->setValue(nameKey, vendor);
    SaveFailureConvention::commitChanges(*m_context, made);
}
