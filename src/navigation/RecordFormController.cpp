#include "navigation/RecordFormController.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "core/AttributeLimits.h"
#include "core/CurrencyLabel.h"
#include "core/Record.h"
#include "core/SaveFailureConvention.h"
#include "core/TBXDateFormatter.h"
#include "core/TBXNumberFormatter.h"
#include "core/WarrantyCalendar.h"
#include "navigation/SelectedAssets.h"
#include "store/ManagedObjectContext.h"

#include <cmath>

namespace {

using Kind = RecordFormController::Kind;
using Field = RecordFormController::Field;

// The fields in the order the form shows them.
QList<Field> fieldTable()
{
    const auto field = [](const char *key, Kind kind) {
        Field f;
        f.key = QString::fromLatin1(key);
        f.kind = kind;
        return f;
    };
    const auto derived = [&](const char *key, Kind kind) {
        Field f = field(key, kind);
        f.editable = false;
        return f;
    };
    const auto openChoice = [&](const char *key) {
        Field f = field(key, Kind::Choice);
        f.openChoice = true;
        return f;
    };
    const auto price = [&](const char *key) {
        Field f = field(key, Kind::Number);
        f.fractionDigits = 2;
        return f;
    };
    return {
        field("item", Kind::Text),
        openChoice("manufacturer"),
        field("model", Kind::Text),
        field("serialNumber", Kind::Text),
        field("barcode", Kind::Text),
        field("category", Kind::Choice),
        field("location", Kind::Choice),
        field("condition", Kind::Level),
        field("labelIndex", Kind::Level),
        field("recordQty", Kind::Number),
        field("tags", Kind::Text),
        field("purchaseDate", Kind::Date),
        price("purchasePrice"),
        field("currency", Kind::Choice),
        price("replacementCost"),
        field("replacementCurrency", Kind::Choice),
        field("paymentMethod", Kind::Choice),
        openChoice("vendorName"),
        derived("dateAdded", Kind::Date),
        field("warrantyLengthNumber", Kind::Number),
        field("warrantyLengthIncrement", Kind::Choice),
        field("xWarrantyLengthNumber", Kind::Number),
        field("xWarrantyLengthIncrement", Kind::Choice),
        field("addon", Kind::Boolean),
        derived("warrantyLevel", Kind::Level),
        derived("expirationDate", Kind::Text),
        field("insured", Kind::Boolean),
        field("insurancePolicyName", Kind::Choice),
        field("insuranceCoverageName", Kind::Choice),
        // The formatted notes, as HTML.
        field("notes", Kind::Text),
    };
}

// Choice fields whose names come from a reference list: entity and name key.
struct NameList
{
    const char *key;
    const char *entity;
    const char *nameKey;
};
const NameList kNameLists[] = {
    { "manufacturer", "Manufacturer", "manufacturerName" },
    { "category", "Category", "categoryName" },
    { "location", "Location", "locationName" },
    { "paymentMethod", "PaymentMethod", "methodName" },
    { "vendorName", "Vendor", "vendorName" },
    { "insurancePolicyName", "InsurancePolicy", "policyName" },
};

bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.isValid() == b.isValid() && (!a.isValid() || a == b);
}

} // namespace

RecordFormController::RecordFormController(ManagedObjectContext *context, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_dates(std::make_unique<TBXDateFormatter>())
    , m_numbers(std::make_unique<TBXNumberFormatter>())
    , m_fields(fieldTable())
{
    // The formatters observe their format events first, so a reload shows the new format.
    EventBus &bus = EventBus::instance();
    for (const QString &name : { Events::TBXRecordListSelectionChanged, Events::TBXImageBrowserSelectionChanged })
        bus.observe(this, name, [this](const Event &e) {
            showRecords(SelectedAssets::fromVariant(e.userInfo.value(EventKeys::selectedAssets)));
        });
    bus.observe(this, Events::TBXRecordReqUpdate, [this](const Event &e) {
        if (e.object == m_record)
            reload();
    });
    for (const QString &name :
         { Events::TBXDateFormatUpdated, Events::TBXDecimalFormatUpdated, Events::TBXThumbnailControllerReqRefresh,
           Events::TBXDestructionControllerReqRefresh, Events::TBXLocationAdded, Events::TBXLocationDeleted,
           Events::TBXLocationNameUpdated, Events::TBXCurrencyUpdated, Events::TBXCategoryUpdated })
        bus.observe(this, name, [this](const Event &) { reload(); });
}

RecordFormController::~RecordFormController()
{
    EventBus::instance().remove(this);
}

Record *RecordFormController::record() const
{
    Record *r = Record::from(m_record);
    return r && !r->isDeleted() ? r : nullptr;
}

void RecordFormController::showRecords(const QList<ManagedObject *> &records)
{
    m_record = records.isEmpty() ? nullptr : records.first();
    m_selectionCount = int(records.size());
    reload();
}

const RecordFormController::Field *RecordFormController::field(const QString &key) const
{
    for (const Field &f : m_fields)
        if (f.key == key)
            return &f;
    return nullptr;
}

QString RecordFormController::dateFormat() const
{
    return m_dates->dateFormat();
}

void RecordFormController::reload()
{
    Record *r = record();
    if (!r && m_selectionCount > 0)
        m_selectionCount = 0;
    for (Field &f : m_fields) {
        f.value = r ? r->valueForKey(f.key) : QVariant();
        // Notes of older libraries are stored in older archive forms.
        if (r && f.key == QLatin1String("notes")) {
            const QByteArray notes = r->notes();
            f.value = notes.isNull() ? QVariant() : QVariant(notes);
        }
        f.text = textOf(f);
        f.enabled = r && f.editable;
    }
    m_customFieldValues.clear();
    m_customFieldObjects.clear();
    m_picture = QImage();
    if (r) {
        reloadChoices(*r);
        for (const QVariant &v : r->valueForKey(QStringLiteral("customField")).toList()) {
            auto *value = v.value<ManagedObject *>();
            m_customFieldObjects.append(value);
            m_customFieldValues.append({ value->valueForKey(QStringLiteral("cfName")).toString(),
                                         value->valueForKey(QStringLiteral("cfTextField")).toString() });
        }
        m_picture = r->photoImg();
    } else {
        m_choices.clear();
    }
    emit changed();
}

void RecordFormController::reloadChoices(const Record &record)
{
    m_choices.clear();
    for (const NameList &list : kNameLists) {
        const QString nameKey = QString::fromLatin1(list.nameKey);
        QStringList names;
        for (const ManagedObject *o : m_context->executeFetchRequest({ QString::fromLatin1(list.entity), {}, {}, 0 }))
            names.append(o->valueForKey(nameKey).toString());
        names.sort(Qt::CaseInsensitive);
        m_choices.insert(QString::fromLatin1(list.key), names);
    }
    // Currencies keep the order of the store, as the settings list them.
    QStringList currencies;
    for (const ManagedObject *c : m_context->executeFetchRequest({ QStringLiteral("Currency"), {}, {}, 0 }))
        currencies.append(CurrencyLabel::longCurrency(*c));
    m_choices.insert(QStringLiteral("currency"), currencies);
    m_choices.insert(QStringLiteral("replacementCurrency"), currencies);
    m_choices.insert(QStringLiteral("warrantyLengthIncrement"), WarrantyCalendar::increments());
    m_choices.insert(QStringLiteral("xWarrantyLengthIncrement"), WarrantyCalendar::increments());
    // The coverages of the record's policy.
    QStringList coverages;
    for (const ManagedObject *policy : m_context->executeFetchRequest({ QStringLiteral("InsurancePolicy"), {}, {}, 0 }))
        if (policy->valueForKey(QStringLiteral("policyName")).toString() == record.insurancePolicyName())
            for (const QVariant &c : policy->valueForKey(QStringLiteral("coverage")).toList())
                coverages.append(c.value<ManagedObject *>()->valueForKey(QStringLiteral("coverageName")).toString());
    m_choices.insert(QStringLiteral("insuranceCoverageName"), coverages);
}

QString RecordFormController::textOf(const Field &field) const
{
    if (!field.value.isValid())
        return QString();
    switch (field.kind) {
    case Kind::Number:
        return field.fractionDigits > 0 ? m_numbers->stringFromNumber(field.value.toDouble(), field.fractionDigits)
                                        : QString::number(field.value.toLongLong());
    case Kind::Date:
        return m_dates->stringFromDate(field.value.toDateTime().toLocalTime());
    default:
        return field.value.toString();
    }
}

std::optional<QVariant> RecordFormController::normalized(const Field &field, const QVariant &value) const
{
    if (!value.isValid())
        return QVariant();
    switch (field.kind) {
    case Kind::Number: {
        if (value.typeId() != QMetaType::QString)
            return value;
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return QVariant();
        const std::optional<double> number = m_numbers->numberFromString(text);
        if (!number)
            return std::nullopt;
        if (field.fractionDigits > 0)
            return QVariant(*number);
        // A count takes whole numbers only.
        if (std::trunc(*number) != *number)
            return std::nullopt;
        return QVariant(qlonglong(*number));
    }
    case Kind::Date: {
        if (value.typeId() != QMetaType::QDate)
            return value;
        const QDate day = value.toDate();
        if (!day.isValid())
            return QVariant();
        // The day changes; the time of day the record had stays.
        const QDateTime stored = record()->valueForKey(field.key).toDateTime();
        const QTime time = stored.isValid() ? stored.toLocalTime().time() : QTime(0, 0);
        return QVariant(QDateTime(day, time).toUTC());
    }
    default:
        return value;
    }
}

bool RecordFormController::validate(const QString &key, const QVariant &value) const
{
    // The one place for limits on what a field may hold (quantities, levels,
    // warranty lengths), from the table every entry point uses: a refused
    // value leaves the record as it is.
    return AttributeLimits::check(Record::Entity, key, value).isEmpty();
}

bool RecordFormController::apply(const QString &key, const QVariant &value)
{
    Record *r = record();
    const Field *f = field(key);
    if (!r || !f || !f->editable)
        return false;
    const std::optional<QVariant> v = normalized(*f, value);
    const bool acceptable = v && validate(key, *v);
    if (acceptable && sameValue(r->valueForKey(key), *v))
        return false;
    if (!acceptable || !r->setValue(key, *v)) {
        // The form shows the stored value again.
        reload();
        return false;
    }
    SaveFailureConvention::commitChanges(*m_context, r);
    // The source list follows a record into its new category.
    if (key == QLatin1String("category"))
        EventBus::instance().post(Events::TBXRefreshRequestOfSourceColumn, this,
                                  { { EventKeys::sender, QStringLiteral("InterfaceControls") },
                                    { EventKeys::method, QStringLiteral("catPopupCommitted") },
                                    { EventKeys::newCategory, v->toString() } });
    // A record holding its events back has not announced the change.
    reload();
    return true;
}

bool RecordFormController::applyCustomFieldValue(int row, const QString &value)
{
    if (!record() || row < 0 || row >= m_customFieldObjects.size())
        return false;
    ManagedObject *field = m_customFieldObjects.at(row);
    if (field->valueForKey(QStringLiteral("cfTextField")).toString() == value)
        return false;
    field->setValue(QStringLiteral("cfTextField"), value);
    SaveFailureConvention::commitChanges(*m_context, field);
    m_customFieldValues[row].value = value;
    return true;
}
