#include "navigation/RecordListColumn.h"

#include <QCoreApplication>

const QList<RecordListColumn> &RecordListColumn::all()
{
    using K = Kind;
    static const QList<RecordListColumn> columns = {
        { QStringLiteral("recordQty"), QCoreApplication::translate("RecordListColumn", "Qty"), K::Integer, 44 },
        { QStringLiteral("item"), QCoreApplication::translate("RecordListColumn", "Item"), K::Text, 200 },
        { QStringLiteral("manufacturer"), QCoreApplication::translate("RecordListColumn", "Manufacturer"), K::Text,
          130 },
        { QStringLiteral("model"), QCoreApplication::translate("RecordListColumn", "Model"), K::Text, 110 },
        { QStringLiteral("serialNumber"), QCoreApplication::translate("RecordListColumn", "Serial Number"), K::Text,
          120 },
        { QStringLiteral("purchaseDate"), QCoreApplication::translate("RecordListColumn", "Purchased"), K::Date, 90 },
        { QStringLiteral("vendorName"), QCoreApplication::translate("RecordListColumn", "Vendor"), K::Text, 110 },
        { QStringLiteral("purchasePrice"), QCoreApplication::translate("RecordListColumn", "Price"), K::Price, 90 },
        { QStringLiteral("replacementCost"), QCoreApplication::translate("RecordListColumn", "Replacement"), K::Price,
          100 },
        { QStringLiteral("insured"), QCoreApplication::translate("RecordListColumn", "Insured"), K::Boolean, 60 },
        { QStringLiteral("warrantyLevel"), QCoreApplication::translate("RecordListColumn", "Warranty"), K::Level, 90 },
        { QStringLiteral("condition"), QCoreApplication::translate("RecordListColumn", "Condition"), K::Condition, 90 },
        { QStringLiteral("category"), QCoreApplication::translate("RecordListColumn", "Category"), K::Text, 110 },
        { QStringLiteral("labelIndex"), QCoreApplication::translate("RecordListColumn", "Label"), K::Label, 50 },
        { QStringLiteral("location"), QCoreApplication::translate("RecordListColumn", "Location"), K::Text, 110 },
    };
    return columns;
}

int RecordListColumn::indexOf(const QString &identifier)
{
    const QList<RecordListColumn> &columns = all();
    for (int i = 0; i < columns.size(); ++i)
        if (columns.at(i).identifier == identifier)
            return i;
    return -1;
}

QString RecordListColumn::currencyKeyFor(const QString &identifier)
{
    if (identifier == QLatin1String("purchasePrice"))
        return QStringLiteral("currency");
    if (identifier == QLatin1String("replacementCost"))
        return QStringLiteral("replacementCurrency");
    return QString();
}
