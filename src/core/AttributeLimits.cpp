#include "core/AttributeLimits.h"

#include "core/WarrantyCalendar.h"

#include <cmath>

namespace {

AttributeLimits::Limit range(const char *entity, const char *attribute, qint64 minimum, qint64 maximum)
{
    AttributeLimits::Limit l;
    l.entity = QString::fromLatin1(entity);
    l.attribute = QString::fromLatin1(attribute);
    l.ranged = true;
    l.minimum = minimum;
    l.maximum = maximum;
    return l;
}

AttributeLimits::Limit fractionalRange(const char *entity, const char *attribute, qint64 minimum, qint64 maximum)
{
    AttributeLimits::Limit l = range(entity, attribute, minimum, maximum);
    l.wholeNumbers = false;
    return l;
}

AttributeLimits::Limit choice(const char *entity, const char *attribute, const QStringList &allowed)
{
    AttributeLimits::Limit l;
    l.entity = QString::fromLatin1(entity);
    l.attribute = QString::fromLatin1(attribute);
    l.allowed = allowed;
    return l;
}

// More than an odometer shows: a slip of the keyboard.
constexpr qint64 kMaximumMileage = 9999999;

QString valueText(const QVariant &value)
{
    if (value.typeId() == QMetaType::QString)
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    return value.toString();
}

} // namespace

const QList<AttributeLimits::Limit> &AttributeLimits::table()
{
    static const QList<Limit> limits = [] {
        const QStringList &increments = WarrantyCalendar::increments();
        return QList<Limit> {
            range("Record", "recordQty", 0, maximumQuantity),
            range("Record", "condition", 0, maximumCondition),
            range("Record", "labelIndex", 0, labelCount - 1),
            range("Record", "warrantyLengthNumber", 0, maximumWarrantyLength),
            choice("Record", "warrantyLengthIncrement", increments),
            range("Record", "xWarrantyLengthNumber", 0, maximumWarrantyLength),
            choice("Record", "xWarrantyLengthIncrement", increments),
            // A share of the warranty period, in percent.
            fractionalRange("Record", "warrantyLevel", 0, 100),
            choice("RecordCustomField", "cfType", { QStringLiteral("Text Field") }),
            choice("CustomField", "customFieldType", { QStringLiteral("Text Field") }),
            choice("Category", "categoryType",
                   { QStringLiteral("Stuff"), QStringLiteral("Vehicle"), QStringLiteral("Building"),
                     QStringLiteral("Collection") }),
            choice("Category", "catLeaseLoanPaid",
                   { QStringLiteral("Loan"), QStringLiteral("Lease"), QStringLiteral("Paid off") }),
            range("Category", "catAutoCurrentMileage", 0, kMaximumMileage),
            range("Category", "catAutoMfgWarranyMiles", 0, kMaximumMileage),
            range("Category", "catAutoMfgWarrantyMonths", 0, maximumWarrantyLength),
            range("Category", "catLeaseLoanTermMonths", 0, maximumWarrantyLength),
            range("Category", "catLeaseLoanTermYears", 0, maximumWarrantyLength),
            range("Category", "catBuildingWarrantyMonths", 0, maximumWarrantyLength),
            range("PaymentMethod", "automaticWarrantyNumber", 0, maximumWarrantyLength),
            choice("PaymentMethod", "automaticWarrantyIncrement", increments),
            choice("InsuranceCoverage", "coverageType", { QStringLiteral("Limit") }),
        };
    }();
    return limits;
}

const AttributeLimits::Limit *AttributeLimits::find(const QString &entity, const QString &attribute)
{
    for (const Limit &l : table())
        if (l.attribute == attribute && l.entity == entity)
            return &l;
    return nullptr;
}

QString AttributeLimits::check(const QString &entity, const QString &attribute, const QVariant &value)
{
    const Limit *limit = find(entity, attribute);
    if (!limit || !value.isValid() || value.isNull())
        return QString();
    if (limit->ranged) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        const bool whole = limit->wholeNumbers;
        if (ok && std::isfinite(number) && number >= double(limit->minimum) && number <= double(limit->maximum)
            && (!whole || number == std::trunc(number)))
            return QString();
        return QStringLiteral("%1 takes %2 from %3 to %4, not %5")
            .arg(attribute, whole ? QStringLiteral("a whole number") : QStringLiteral("a number"))
            .arg(limit->minimum)
            .arg(limit->maximum)
            .arg(valueText(value));
    }
    const QString text = value.toString();
    // An empty text is nothing chosen yet, like a missing value.
    if (text.isEmpty() || limit->allowed.contains(text))
        return QString();
    return QStringLiteral("%1 takes one of %2, not %3")
        .arg(attribute, limit->allowed.join(QStringLiteral(", ")), valueText(value));
}

QString AttributeLimits::check(const QString &entity, const QVariantMap &values)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const QString problem = check(entity, it.key(), it.value());
        if (!problem.isEmpty())
            return problem;
    }
    return QString();
}
