#include "CSVImportExport.h"

#include "CSVWriter.h"
#include "NaturalDate.h"

#include "core/AttributeLimits.h"
#include "core/Record.h"
#include "core/RecordNotes.h"
#include "records/RecordController.h"
#include "records/RecordPackageFiles.h"
#include "store/ManagedObjectContext.h"
#include "store/ToManySet.h"
#include "store/UndoManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

struct Column
{
    QString title;
    QString attribute;
};

const QList<Column> &columns()
{
    static const QList<Column> list = {
        { QStringLiteral("Category"), QStringLiteral("category") },
        { QStringLiteral("Quantity"), QStringLiteral("recordQty") },
        { QStringLiteral("Item"), QStringLiteral("item") },
        { QStringLiteral("Manufacturer"), QStringLiteral("manufacturer") },
        { QStringLiteral("Model"), QStringLiteral("model") },
        { QStringLiteral("Serial Number"), QStringLiteral("serialNumber") },
        { QStringLiteral("Purchase Date"), QStringLiteral("purchaseDate") },
        { QStringLiteral("Purchase Price"), QStringLiteral("purchasePrice") },
        { QStringLiteral("Payment Method"), QStringLiteral("paymentMethod") },
        { QStringLiteral("Location"), QStringLiteral("location") },
        { QStringLiteral("Condition"), QStringLiteral("condition") },
        { QStringLiteral("Warranty Length"), QStringLiteral("warrantyLengthNumber") },
        { QStringLiteral("Extended Warranty"), QStringLiteral("xWarrantyLengthNumber") },
        { QStringLiteral("Replacement Cost"), QStringLiteral("replacementCost") },
        { QStringLiteral("Vendor"), QStringLiteral("vendorName") },
        { QStringLiteral("Notes"), QStringLiteral("notes") },
    };
    return list;
}

QVariant valueOf(const Record &record, const QString &key)
{
    const QVariant v = record.ManagedObject::valueForKey(key);
    return v.isValid() && !v.isNull() ? v : QVariant();
}

QString textOf(const Record &record, const QString &key)
{
    const QVariant v = valueOf(record, key);
    return v.isValid() ? v.toString() : QString();
}

QString integerOf(const Record &record, const QString &key)
{
    const QVariant v = valueOf(record, key);
    return v.isValid() ? QString::number(v.toLongLong()) : QString();
}

QString moneyOf(const Record &record, const QString &key, const QLocale &locale)
{
    const QVariant v = valueOf(record, key);
    return v.isValid() ? locale.toCurrencyString(v.toDouble()) : QString();
}

// "2 Years"; empty without an increment, as a bare number would say nothing.
QString warrantyOf(const Record &record, const QString &numberKey, const QString &incrementKey)
{
    const QString increment = textOf(record, incrementKey);
    if (increment.isEmpty())
        return {};
    return QString::number(valueOf(record, numberKey).toLongLong()) + QLatin1Char(' ') + increment;
}

} // namespace

const QStringList &CSVImportExport::columnTitles()
{
    static const QStringList titles = [] {
        QStringList t;
        for (const Column &c : columns())
            t.append(c.title);
        return t;
    }();
    return titles;
}

QString CSVImportExport::attributeForTitle(const QString &title)
{
    for (const Column &c : columns())
        if (c.title == title)
            return c.attribute;
    return {};
}

QStringList CSVImportExport::exportFields(const Record &record, const QLocale &locale)
{
    const QDateTime purchased = record.purchaseDate();
    const QByteArray notes = record.notes();
    return {
        textOf(record, QStringLiteral("category")),
        integerOf(record, QStringLiteral("recordQty")),
        textOf(record, QStringLiteral("item")),
        textOf(record, QStringLiteral("manufacturer")),
        textOf(record, QStringLiteral("model")),
        textOf(record, QStringLiteral("serialNumber")),
        purchased.isValid() ? locale.toString(purchased.toLocalTime().date(), QLocale::ShortFormat) : QString(),
        moneyOf(record, QStringLiteral("purchasePrice"), locale),
        textOf(record, QStringLiteral("paymentMethod")),
        textOf(record, QStringLiteral("location")),
        integerOf(record, QStringLiteral("condition")),
        warrantyOf(record, QStringLiteral("warrantyLengthNumber"), QStringLiteral("warrantyLengthIncrement")),
        warrantyOf(record, QStringLiteral("xWarrantyLengthNumber"), QStringLiteral("xWarrantyLengthIncrement")),
        moneyOf(record, QStringLiteral("replacementCost"), locale),
        textOf(record, QStringLiteral("vendorName")),
        notes.isNull() ? QString() : RecordNotes::plainText(notes),
    };
}

QString CSVImportExport::exportText(const QList<ManagedObject *> &records, const QLocale &locale)
{
    QString text = CSVWriter::line(columnTitles());
    for (ManagedObject *object : records)
        if (const Record *record = Record::from(object))
            text += CSVWriter::line(exportFields(*record, locale));
    return text;
}

QString CSVImportExport::exportPath(const QString &chosen)
{
    if (QFileInfo(chosen).suffix().compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0)
        return chosen;
    return chosen + QStringLiteral(".csv");
}

bool CSVImportExport::exportRecords(const QString &chosen, const QList<ManagedObject *> &records, const QLocale &locale,
                                    QString *error, QString *writtenPath)
{
    const QString path = exportPath(chosen);
    if (writtenPath)
        *writtenPath = path;
    QSaveFile file(path);
    const QByteArray bytes = exportText(records, locale).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("The file \"%1\" could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// ---- import

QList<QVariantMap> CSVImportExport::lineDictionaries(const QList<QStringList> &lines, const QStringList &keys,
                                                     int firstLine)
{
    QList<QVariantMap> dictionaries;
    for (qsizetype i = firstLine; i < lines.size(); ++i) {
        QVariantMap line;
        const QStringList &fields = lines.at(i);
        for (qsizetype j = 0; j < fields.size() && j < keys.size(); ++j)
            if (!keys.at(j).isEmpty())
                line.insert(keys.at(j), fields.at(j));
        dictionaries.append(line);
    }
    return dictionaries;
}

namespace {

// The first run of digits at or after `from`: its start and end (equal when none).
std::pair<qsizetype, qsizetype> firstDigits(const QString &text, qsizetype from)
{
    qsizetype start = from;
    while (start < text.size() && !text.at(start).isDigit())
        ++start;
    qsizetype end = start;
    while (end < text.size() && text.at(end).isDigit())
        ++end;
    return { start, end };
}

} // namespace

std::optional<double> CSVImportExport::readAmount(const QString &text, const QLocale &locale)
{
    // The locale's own form first, so that grouped thousands are not cut at the separator.
    QString kept;
    for (const QChar c : text)
        if (c.isDigit() || c == locale.decimalPoint().front() || c == locale.groupSeparator().front()
            || c == QLatin1Char('-'))
            kept += c;
    bool ok = false;
    const double value = locale.toDouble(kept, &ok);
    if (ok)
        return value;
    // Else the first decimal number: digits and an optional fraction.
    auto [i, end] = firstDigits(text, 0);
    if (end == i)
        return std::nullopt;
    if (end + 1 < text.size() && text.at(end) == QLatin1Char('.') && text.at(end + 1).isDigit())
        end = firstDigits(text, end + 1).second;
    return text.mid(i, end - i).toDouble();
}

std::optional<qlonglong> CSVImportExport::readWholeNumber(const QString &text)
{
    const auto [i, end] = firstDigits(text, 0);
    if (end == i)
        return std::nullopt;
    bool ok = false;
    const qlonglong value = text.mid(i, end - i).toLongLong(&ok);
    return ok ? std::optional<qlonglong>(value) : std::nullopt;
}

namespace {

QString fieldOf(const QVariantMap &line, const QString &title)
{
    return line.value(title).toString();
}

// "2 Years": the length and its increment; none for other text.
std::optional<std::pair<qlonglong, QString>> readWarranty(const QString &text)
{
    const QStringList parts = text.simplified().split(QLatin1Char(' '));
    bool ok = false;
    const qlonglong number = parts.value(0).toLongLong(&ok);
    if (parts.size() != 2 || !ok)
        return std::nullopt;
    return std::make_pair(number, parts.at(1));
}

} // namespace

std::optional<QList<CSVImportExport::ImportedRecord>>
CSVImportExport::readRecords(const QList<QVariantMap> &lines, const QList<int> &lineNumbers, const QString &currency,
                             const QString &defaultLocation, const QLocale &locale, const QDate &today, QString *error)
{
    QList<ImportedRecord> records;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QVariantMap &line = lines.at(n);
        const int lineNumber = lineNumbers.value(n, int(n) + 1);
        auto fail = [&](const QString &problem) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(lineNumber).arg(problem);
            return std::nullopt;
        };
        ImportedRecord r;
        r.category = fieldOf(line, QStringLiteral("Category"));
        QVariantMap &v = r.values;
        auto text = [&](const QString &title, const QString &key) {
            const QString t = fieldOf(line, title);
            if (!t.isEmpty())
                v.insert(key, t);
        };
        text(QStringLiteral("Item"), QStringLiteral("item"));
        text(QStringLiteral("Model"), QStringLiteral("model"));
        text(QStringLiteral("Serial Number"), QStringLiteral("serialNumber"));
        text(QStringLiteral("Payment Method"), QStringLiteral("paymentMethod"));
        text(QStringLiteral("Vendor"), QStringLiteral("vendorName"));
        text(QStringLiteral("Manufacturer"), QStringLiteral("manufacturer"));

        std::optional<double> price;
        if (const QString t = fieldOf(line, QStringLiteral("Purchase Price")); !t.isEmpty()) {
            price = readAmount(t, locale);
            if (price && *price > 0)
                v.insert(QStringLiteral("purchasePrice"), *price);
        }
        if (!fieldOf(line, purchaseCurrencyTitle).isEmpty() && !currency.isEmpty())
            v.insert(QStringLiteral("currency"), currency);
        // The replacement cost falls back to the price paid; without either it stays
        // unset, so that a record exported without one comes back without one.
        const std::optional<double> cost = readAmount(fieldOf(line, QStringLiteral("Replacement Cost")), locale);
        if (cost && *cost > 0)
            v.insert(QStringLiteral("replacementCost"), *cost);
        else if (price && *price > 0)
            v.insert(QStringLiteral("replacementCost"), *price);
        if (!fieldOf(line, replacementCurrencyTitle).isEmpty() && !currency.isEmpty())
            v.insert(QStringLiteral("replacementCurrency"), currency);

        const std::optional<qlonglong> qty = readWholeNumber(fieldOf(line, QStringLiteral("Quantity")));
        v.insert(QStringLiteral("recordQty"), qty && *qty > 1 ? *qty : 1);

        if (const QString t = fieldOf(line, QStringLiteral("Notes")); !t.isEmpty())
            v.insert(QStringLiteral("notes"), RecordNotes::fromPlainText(t));

        if (const QString t = fieldOf(line, QStringLiteral("Purchase Date")); !t.isEmpty()) {
            const QDate date = NaturalDate::read(t, locale, today);
            if (!date.isValid())
                return fail(QStringLiteral("\"%1\" is not a date").arg(t));
            v.insert(QStringLiteral("purchaseDate"), QDateTime(date, QTime(12, 0)));
        }

        const QString location = fieldOf(line, QStringLiteral("Location"));
        if (!location.isEmpty())
            v.insert(QStringLiteral("location"), location);
        else if (!defaultLocation.isEmpty())
            v.insert(QStringLiteral("location"), defaultLocation);

        if (const QString t = fieldOf(line, QStringLiteral("Condition")); !t.isEmpty()) {
            bool ok = false;
            const int condition = t.toInt(&ok);
            if (!ok)
                return fail(QStringLiteral("\"%1\" is not a condition").arg(t));
            v.insert(QStringLiteral("condition"), condition);
        }
        for (const auto &[title, numberKey, incrementKey] :
             { std::tuple { QStringLiteral("Warranty Length"), QStringLiteral("warrantyLengthNumber"),
                            QStringLiteral("warrantyLengthIncrement") },
               std::tuple { QStringLiteral("Extended Warranty"), QStringLiteral("xWarrantyLengthNumber"),
                            QStringLiteral("xWarrantyLengthIncrement") } }) {
            const QString t = fieldOf(line, title);
            if (t.isEmpty())
                continue;
            const auto warranty = readWarranty(t);
            if (!warranty)
                return fail(QStringLiteral("\"%1\" is not a warranty length such as \"2 Years\"").arg(t));
            v.insert(numberKey, warranty->first);
            v.insert(incrementKey, warranty->second);
        }

        const QString problem = AttributeLimits::check(Record::Entity, v);
        if (!problem.isEmpty())
            return fail(problem);

        for (auto it = line.cbegin(); it != line.cend(); ++it)
            if (it.key().startsWith(customFieldPrefix))
                r.customFields.append({ it.key().mid(customFieldPrefix.size()), it.value().toString() });
        records.append(r);
    }
    return records;
}

namespace {

// The object of `entity` whose `key` is exactly `name`, made when there is none.
ManagedObject *findOrMake(ManagedObjectContext &context, const QString &entity, const QString &key, const QString &name,
                          const QVariantMap &more = {})
{
    const QList<ManagedObject *> found = context.executeFetchRequest(
        { entity, Predicate::fromFormat(QStringLiteral("%K == %@"), { key, name }), {}, 1 });
    if (!found.isEmpty())
        return found.first();
    ManagedObject *object = context.insertNewObject(entity);
    object->setValue(key, name);
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        object->setValue(it.key(), it.value());
    return object;
}

} // namespace

QList<Record *> CSVImportExport::handleMakeRecordsFromCSV(RecordController &controller,
                                                          const QList<ImportedRecord> &records, QString *error)
{
    ManagedObjectContext &context = *controller.managedObjectContext();
    UndoManager *undo = context.undoManager();
    if (undo)
        undo->beginUndoGrouping();
    const QString selectedBefore = controller.selectedCategoryName();
    controller.setSilentAddNewRecord(true);
    QList<Record *> made;
    for (const ImportedRecord &r : records) {
        if (!r.category.isEmpty())
            findOrMake(context, QStringLiteral("Category"), QStringLiteral("categoryName"), r.category,
                       { { QStringLiteral("categoryType"), QStringLiteral("Stuff") } });
        controller.setSelectedCategoryName(r.category);
        Record *record = controller.addNewRecord({ { QStringLiteral("source"), RecordController::SourceCSV } });
        if (!record) {
            if (error)
                *error = QStringLiteral("record %1 could not be made: its folder or thumbnail could not be written; "
                                        "nothing was imported")
                             .arg(made.size() + 1);
            // A file is imported whole or not at all: the records made so far go
            // again, with their folders and thumbnails.
            for (Record *m : std::as_const(made)) {
                QDir().rmdir(RecordPackageFiles::filesFolder(controller.packagePath(), m->recordIDText()));
                QFile::remove(RecordPackageFiles::thumbnailPath(controller.packagePath(), m->recordIDText()));
                context.deleteObject(m);
            }
            made.clear();
            break;
        }
        for (auto it = r.values.cbegin(); it != r.values.cend(); ++it)
            record->setValue(it.key(), it.value());
        const QString location = r.values.value(QStringLiteral("location")).toString();
        if (!location.isEmpty())
            findOrMake(context, QStringLiteral("Location"), QStringLiteral("locationName"), location);
        for (const auto &[key, entity, nameKey] :
             { std::tuple { QStringLiteral("paymentMethod"), QStringLiteral("PaymentMethod"),
                            QStringLiteral("methodName") },
               std::tuple { QStringLiteral("vendorName"), QStringLiteral("Vendor"), QStringLiteral("vendorName") },
               std::tuple { QStringLiteral("manufacturer"), QStringLiteral("Manufacturer"),
                            QStringLiteral("manufacturerName") } }) {
            const QString name = r.values.value(key).toString();
            if (!name.isEmpty())
                findOrMake(context, entity, nameKey, name);
        }
        for (const auto &[name, value] : r.customFields) {
            ManagedObject *field = context.insertNewObject(QStringLiteral("RecordCustomField"));
            field->setValue(QStringLiteral("cfName"), name);
            field->setValue(QStringLiteral("cfType"), QStringLiteral("Text Field"));
            field->setValue(QStringLiteral("cfTextField"), value);
            record->mutableSetValueForKey(QStringLiteral("customField")).addObject(field);
        }
        made.append(record);
    }
    controller.setSilentAddNewRecord(false);
    controller.setSelectedCategoryName(selectedBefore);
    if (undo) {
        undo->setActionName(QStringLiteral("Import CSV"));
        undo->endUndoGrouping();
    }
    return made;
}
