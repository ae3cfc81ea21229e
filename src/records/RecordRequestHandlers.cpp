#include "records/RecordRequestHandlers.h"

#include "base/Clock.h"
#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Log.h"
#include "core/Record.h"
#include "core/SaveFailureConvention.h"
#include "records/RecordController.h"
#include "records/RecordCreator.h"
#include "records/RecordPackageFiles.h"
#include "records/RecordSelection.h"
#include "records/VendorAssignment.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectContext.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>

namespace {

const QString kCategory = QStringLiteral("Category");
const QString kCategoryName = QStringLiteral("categoryName");
const QString kImagePath = QStringLiteral("imagePath");
const QString kListPrice = QStringLiteral("listPrice");

QUrl addressOf(const QString &text)
{
    const QUrl url(text);
    return url.scheme().isEmpty() ? QUrl::fromLocalFile(text) : url;
}

} // namespace

RecordRequestHandlers::RecordRequestHandlers(ManagedObjectContext *context, const QString &package,
                                             RecordCreator &creator, RecordSelection &selection,
                                             VendorAssignment &vendors, const void *sender)
    : m_context(context)
    , m_package(package)
    , m_creator(creator)
    , m_selection(selection)
    , m_vendors(vendors)
    , m_sender(sender)
{
}

QList<Record *> RecordRequestHandlers::makeNewRecordsFromFiles(const QVariantMap &info)
{
    // Files dropped on ALL RECORDS go where the New Record command puts records
    // made there: into "Unfiled", not into a category named after the row.
    const auto targetCategory = [&info] {
        const QString row = info.value(EventKeys::rowName).toString();
        return row == RecordController::allRecordsRowName ? QString() : row;
    };
    m_selection.setSelectedCategoryName(targetCategory());
    const QString given = info.value(EventKeys::source).toString();
    const QString source = given == RecordController::SourceInbox ? RecordController::SourceInbox
        : given == RecordController::SourceIPhoto                 ? RecordController::SourceIPhoto
                                                                  : RecordController::SourceFiles;
    QList<Record *> made;
    for (const QString &path : info.value(EventKeys::filePathArray).toStringList()) {
        const QDateTime created = RecordPackageFiles::creationDate(path);
        QVariantMap request { { EventKeys::source, source },
                              { RecordController::fileDateKey, created.isValid() ? created : Clock::now() },
                              { EventKeys::filePathArray, QStringList { path } } };
        Record *record = m_creator.addNewRecord(request);
        if (!record)
            continue;
        made.append(record);
        m_selection.selectInRecordList(record);
        // Photo-library pictures stay where they are: the thumbnail and the
        // photo path are all the record keeps of them.
        if (source != RecordController::SourceIPhoto) {
            request.insert(RecordController::recordKey, QVariant::fromValue<ManagedObject *>(record));
            EventBus::instance().post(Events::TBXFilesDraggedToRecordTable, m_sender, request);
        }
    }
    m_selection.setSelectedCategoryName(targetCategory());
    return made;
}

Record *RecordRequestHandlers::handleNewRecordFromWebArchive(const QVariantMap &payload)
{
    const QString remembered = m_selection.selectedCategoryName();
    m_selection.setSelectedCategoryName(payload.value(QStringLiteral("category")).toString());
    Record *record = m_creator.addNewRecord({ { EventKeys::source, RecordController::SourceWebArchive } });
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
        m_vendors.vendorSourceSelected(payload.value(QStringLiteral("vendor")).toString());
        SaveFailureConvention::commitChanges(*m_context, record);
        EventBus::instance().post(
            Events::TBXAddWebArchiveToNewRecord, m_sender,
            { { EventKeys::source, RecordController::SourceWebArchive },
              { EventKeys::filePathArray, QStringList { payload.value(EventKeys::filePath).toString() } },
              { RecordController::fileDateKey, Clock::now() },
              { RecordController::recordKey, QVariant::fromValue<ManagedObject *>(record) } });
    }
    m_selection.setSelectedCategoryName(remembered);
    return record;
}

Record *RecordRequestHandlers::handleNewRecordFromBarcode(const QVariantMap &payload)
{
    if (!m_context)
        return nullptr;
    const QList<ManagedObject *> known = recordsWithBarcode(payload.value(RecordController::barcodeKey));
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
    if (payload.contains(categoryKey))
        chooseCategoryOfProductGroup(payload.value(categoryKey).toString());

    QVariantMap request { { EventKeys::source, RecordController::SourceBarcode } };
    if (payload.contains(kImagePath)) {
        const QString target = QDir(m_package).filePath(QStringLiteral("Temp/AmazonThumbnail.jpg"));
        const QImage image
            = QImage::fromData(RecordPackageFiles::fetch(addressOf(payload.value(kImagePath).toString())));
        QString error;
        if (RecordPackageFiles::writeJpeg(image, target, 0, &error)) {
            request.insert(EventKeys::filePathArray, QStringList { target });
        } else {
            Log::always(QStringLiteral("Stashly 2: save file error. Path: %1").arg(target));
            request.insert(EventKeys::filePathArray, QStringList {});
        }
    }
    if (payload.contains(kListPrice))
        request.insert(RecordController::replacementCostKey, payload.value(kListPrice));
    for (const QString &key : { RecordController::modelKey, RecordController::brandKey, RecordController::titleKey,
                                RecordController::barcodeKey })
        if (payload.contains(key))
            request.insert(key, payload.value(key));
    request.insert(EventKeys::rowName, m_selection.selectedCategoryName());

    Record *record = m_creator.addNewRecord(request);
    if (record) {
        QVariantMap update = request;
        update.insert(EventKeys::selectedAssets, RecordSelection::assets({ record }));
        EventBus::instance().post(Events::TBXRecordControllerReqUpdate, m_sender, update);
        m_selection.selectInRecordList(record);
    }
    return record;
}

void RecordRequestHandlers::chooseCategoryOfProductGroup(const QString &group)
{
    const QList<ManagedObject *> matching = m_context->executeFetchRequest(
        { kCategory,
          Predicate::fromFormat(QStringLiteral("%K MATCHES %@"), { kCategoryName, QRegularExpression::escape(group) }),
          {},
          0 });
    if (matching.isEmpty()) {
        ManagedObject *category = m_context->insertNewObject(kCategory);
        category->setValue(kCategoryName, group);
        category->setValue(QStringLiteral("categoryType"), QStringLiteral("Stuff"));
        if (SaveFailureConvention::commitChanges(*m_context, category))
            m_selection.setSelectedCategoryName(group);
    } else if (matching.size() == 1) {
        m_selection.setSelectedCategoryName(matching.first()->valueForKey(kCategoryName).toString());
    }
    EventBus::instance().post(Events::TBXAddCategoryReqRefresh, m_sender,
                              { { EventKeys::rowName, m_selection.selectedCategoryName() } });
}

void RecordRequestHandlers::handlePopulateRecordWithBarcodeLookupData(const QVariantMap &payload)
{
    if (!m_context)
        return;
    const QList<ManagedObject *> known = recordsWithBarcode(payload.value(RecordController::barcodeKey));
    if (!known.isEmpty()) {
        Record *record = Record::from(known.first());
        const QString price = payload.value(kListPrice).toString();
        if (payload.contains(kListPrice)) {
            if (const std::optional<double> value = RecordCreator::decimalFromText(price))
                record->setReplacementCost(*value);
        }
        if (payload.contains(RecordController::modelKey))
            record->setModel(payload.value(RecordController::modelKey));
        if (payload.contains(RecordController::brandKey))
            record->setManufacturer(payload.value(RecordController::brandKey));
        if (payload.contains(RecordController::titleKey))
            record->setItem(payload.value(RecordController::titleKey));
        if (payload.contains(kImagePath)) {
            const QString target = RecordPackageFiles::thumbnailPath(m_package, record->recordIDText());
            const QImage image
                = QImage::fromData(RecordPackageFiles::fetch(addressOf(payload.value(kImagePath).toString())));
            QString error;
            if (!RecordPackageFiles::writeJpeg(image, target, 0, &error))
                Log::always(QStringLiteral("Stashly 2: save file error. Path: %1").arg(target));
        }
    }
    EventBus::instance().post(
        Events::TBXRecordControllerReqUpdate, m_sender,
        { { EventKeys::rowName, m_selection.selectedCategoryName() },
          { EventKeys::selectedAssets, RecordSelection::assets(m_selection.selectedRecords()) } });
}

QList<ManagedObject *> RecordRequestHandlers::recordsWithBarcode(const QVariant &barcode) const
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
