#include "CSVImportExport.h"

#include "CSVWriter.h"

#include "core/Record.h"
#include "core/RecordNotes.h"

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
