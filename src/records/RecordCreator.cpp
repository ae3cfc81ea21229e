#include "records/RecordCreator.h"

#include "base/Clock.h"
#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Log.h"
#include "core/CurrencyLabel.h"
#include "core/Record.h"
#include "core/SaveFailureConvention.h"
#include "records/RecordController.h"
#include "records/RecordPackageFiles.h"
#include "records/RecordSelection.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectContext.h"
#include "store/ToManySet.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace {

const QString kCategory = QStringLiteral("Category");
const QString kCategoryName = QStringLiteral("categoryName");
const QString kCategoryType = QStringLiteral("categoryType");
const QString kStuff = QStringLiteral("Stuff");

} // namespace

RecordCreator::RecordCreator(ManagedObjectContext *context, const QString &package, RecordSelection &selection,
                             const void *sender)
    : m_context(context)
    , m_package(package)
    , m_selection(selection)
    , m_sender(sender)
    , m_numbering(package)
{
}

std::optional<double> RecordCreator::decimalFromText(const QString &text)
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

Record *RecordCreator::addNewRecord(const QVariantMap &request)
{
    if (!m_context)
        return nullptr;
    const QString source = request.value(EventKeys::source).toString();
    clearSelectionAndHoldViews();
    const std::optional<RecordFiles> files
        = makeFolderAndThumbnail(source, request.value(EventKeys::filePathArray).toStringList());
    if (!files)
        return nullptr;
    fileIntoUnfiledWhenNoCategory();
    const QList<ManagedObject *> templates = customFieldTemplates();
    const QString currency = defaultCurrency();
    Record *record = insertRecordWithDefaults(*files, currency);
    if (!record)
        return nullptr;
    addCustomFields(record, templates);
    applyRequest(record, source, request, currency);
    saveAndSelect(record);
    announce(record, source);
    return record;
}

void RecordCreator::clearSelectionAndHoldViews()
{
    m_selection.clearRecordSelection();
    EventBus::instance().post(Events::TBXRecordControllerReqDelayUpdate, m_sender);
}

std::optional<RecordCreator::RecordFiles> RecordCreator::makeFolderAndThumbnail(const QString &source,
                                                                                const QStringList &paths)
{
    // Without its folder and thumbnail there is no record.
    QString error;
    const std::optional<double> number = m_numbering.makeRecordFolder(&error);
    if (!number) {
        Log::always(QStringLiteral("Stashly 2: error creating files path: %1").arg(error));
        return std::nullopt;
    }
    const QString idText = Record::recordIDText(*number);
    const RecordFiles files { *number, RecordPackageFiles::filesFolder(m_package, idText),
                              RecordPackageFiles::thumbnailPath(m_package, idText) };
    if (source == RecordController::SourceIPhoto || source == RecordController::SourceBarcode) {
        if (!paths.isEmpty() && !RecordPackageFiles::copyFile(paths.first(), files.thumbnail, &error)) {
            Log::always(QStringLiteral("Stashly 2: error copying image from iPhoto library: %1").arg(error));
            QDir().rmdir(files.folder);
            return std::nullopt;
        }
    } else {
        const QByteArray placeholder = RecordPackageFiles::placeholderImageData();
        if (placeholder.isEmpty())
            error = QStringLiteral("the placeholder picture camera.png is missing");
        if (placeholder.isEmpty() || !RecordPackageFiles::writeFile(files.thumbnail, placeholder, &error)) {
            Log::always(QStringLiteral("Stashly 2: error copying camera image: %1").arg(error));
            QDir().rmdir(files.folder);
            return std::nullopt;
        }
    }
    return files;
}

void RecordCreator::fileIntoUnfiledWhenNoCategory()
{
    if (!m_selection.selectedCategoryName().isEmpty())
        return;
    const QString &unfiledName = RecordController::unfiledCategoryName;
    ManagedObject *unfiled = categoryNamed(unfiledName);
    if (!unfiled) {
        unfiled = m_context->insertNewObject(kCategory);
        unfiled->setValue(kCategoryName, unfiledName);
        unfiled->setValue(kCategoryType, kStuff);
        SaveFailureConvention::commitChanges(*m_context, unfiled);
        EventBus::instance().post(Events::TBXAddCategoryReqRefresh, m_sender, { { EventKeys::rowName, unfiledName } });
    }
    m_selection.selectCategory(unfiled);
    m_selection.setSelectedCategoryName(unfiledName);
}

QList<ManagedObject *> RecordCreator::customFieldTemplates() const
{
    const QString category = m_selection.selectedCategoryName();
    if (category == RecordController::allRecordsRowName)
        return {};
    ManagedObject *found = categoryNamed(category);
    return found ? found->relatedObjects(found->entity().relationshipIndex(QStringLiteral("customField")))
                 : QList<ManagedObject *> {};
}

Record *RecordCreator::insertRecordWithDefaults(const RecordFiles &files, const QString &currency)
{
    const QString payment = defaultName(QStringLiteral("PaymentMethod"), QStringLiteral("isDefaultPayment"),
                                        QStringLiteral("methodName"));
    const QString location
        = defaultName(QStringLiteral("Location"), QStringLiteral("isDefault"), QStringLiteral("locationName"));

    Record *record = Record::from(m_context->insertNewObject(Record::Entity));
    if (!record) {
        Log::always(QStringLiteral("Stashly 2: records cannot be made: the Record class is not registered"));
        QFile::remove(files.thumbnail);
        QDir().rmdir(files.folder);
        return nullptr;
    }
    record->setCategory(m_selection.selectedCategoryName());
    record->setPaymentMethod(payment);
    record->setLocation(location);
    record->setCurrency(currency);
    record->setReplacementCurrency(currency);
    // One of a thing unless said otherwise; an empty quantity would show as 0 in
    // the form and count as nothing in totals.
    record->setRecordQty(1);
    record->setRecordID(files.number);
    record->setModel(QStringLiteral(""));
    record->setItem(QStringLiteral("New Item"));
    record->setManufacturer(QStringLiteral(""));
    return record;
}

void RecordCreator::addCustomFields(Record *record, const QList<ManagedObject *> &templates)
{
    ToManySet fields = record->mutableSetValueForKey(QStringLiteral("customField"));
    for (const ManagedObject *t : templates) {
        ManagedObject *field = m_context->insertNewObject(QStringLiteral("RecordCustomField"));
        field->setValue(QStringLiteral("cfName"), t->valueForKey(QStringLiteral("customFieldName")));
        field->setValue(QStringLiteral("cfType"), t->valueForKey(QStringLiteral("customFieldType")));
        fields.addObject(field);
    }
}

void RecordCreator::applyRequest(Record *record, const QString &source, const QVariantMap &request,
                                 const QString &currency)
{
    const QStringList paths = request.value(EventKeys::filePathArray).toStringList();
    if (source == RecordController::SourceIPhoto && !paths.isEmpty())
        record->setPhoto(paths.first());

    if (source == RecordController::SourceUIClick) {
        record->setPurchaseDate(Clock::now());
    } else if (source == RecordController::SourceFiles || source == RecordController::SourceInbox
               || source == RecordController::SourceIPhoto) {
        const QVariant fileDate = request.value(RecordController::fileDateKey);
        if (fileDate.isValid())
            record->setPurchaseDate(fileDate);
    }

    if (source != RecordController::SourceBarcode)
        return;
    record->setItem(request.value(RecordController::titleKey));
    record->setManufacturer(request.value(RecordController::brandKey));
    record->setModel(request.value(RecordController::modelKey));
    record->setBarcode(request.value(RecordController::barcodeKey));
    const QString cost = request.value(RecordController::replacementCostKey).toString();
    if (cost.isEmpty())
        return;
    if (const std::optional<double> value = decimalFromText(cost)) {
        record->setReplacementCost(*value);
        record->setReplacementCurrency(currency);
    } else {
        Log::always(QStringLiteral("Stashly 2: list price \"%1\" is not a number").arg(cost));
    }
}

void RecordCreator::saveAndSelect(Record *record)
{
    m_selection.setSelectedMOID(record->objectID());
    record->setDelayNotification(false);
    SaveFailureConvention::commitChanges(*m_context, record);
    m_selection.selectRecord(record);
}

void RecordCreator::announce(Record *record, const QString &source)
{
    EventBus &bus = EventBus::instance();
    const QString category = m_selection.selectedCategoryName();
    if (source != RecordController::SourceCSV)
        bus.post(Events::TBXRefreshRequestOfSourceColumn, m_sender,
                 { { EventKeys::sender, QStringLiteral("RecordController") },
                   { EventKeys::method, QStringLiteral("addNewRecord") },
                   { EventKeys::rowName, category },
                   { EventKeys::newRecordMOID, QVariant::fromValue(m_selection.selectedMOID()) } });
    if (m_silent)
        return;
    const QVariantList selected = RecordSelection::assets({ record });
    bus.post(Events::TBXRecordControllerReqUpdate, m_sender,
             { { EventKeys::rowName, category }, { EventKeys::selectedAssets, selected } });
    bus.post(Events::TBXRecordControllerNewRecordAdded, m_sender,
             { { EventKeys::selectedAssets, selected },
               { EventKeys::recordCreationMethod, source },
               { EventKeys::rowName, category },
               { EventKeys::selectionIndexSet, m_selection.recordListSelectionIndexes() } });
}

ManagedObject *RecordCreator::categoryNamed(const QString &name) const
{
    const QList<ManagedObject *> found = m_context->executeFetchRequest(
        { kCategory, Predicate::fromFormat(QStringLiteral("%K == %@"), { kCategoryName, name }), {}, 1 });
    return found.isEmpty() ? nullptr : found.first();
}

QString RecordCreator::defaultName(const QString &entity, const QString &flag, const QString &nameKey) const
{
    const QList<ManagedObject *> found = m_context->executeFetchRequest(
        { entity, Predicate::fromFormat(QStringLiteral("%K == YES"), { flag }), {}, 1 });
    return found.isEmpty() ? QString(QLatin1String("")) : found.first()->valueForKey(nameKey).toString();
}

QString RecordCreator::defaultCurrency() const
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
