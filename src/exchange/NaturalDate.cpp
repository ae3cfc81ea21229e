#include "NaturalDate.h"

#include <QStringList>

namespace NaturalDate {

namespace {

// Qt reads "yy" as 19xx; the pivot at 1970 keeps "1/2/05" in this century.
QDate withPivot(QDate date, const QString &format)
{
    if (date.isValid() && !format.contains(QLatin1String("yyyy")) && date.year() < 1970)
        date = date.addYears(100);
    return date;
}

QDate fromFormats(const QString &text, const QStringList &formats, const QLocale &locale)
{
    for (const QString &format : formats) {
        const QDate date = withPivot(locale.toDate(text, format), format);
        if (date.isValid())
            return date;
    }
    return {};
}

} // namespace

QDate read(const QString &input, const QLocale &locale, const QDate &today)
{
    const QString text = input.simplified();
    if (text.isEmpty())
        return {};
    QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid())
        return date;

    // The numeric order follows the locale's short date: day first or month first.
    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    const bool dayFirst = shortFormat.indexOf(QLatin1Char('d')) < shortFormat.indexOf(QLatin1Char('M'));
    QStringList numeric = { shortFormat };
    for (const QString &sep : { QStringLiteral("/"), QStringLiteral("."), QStringLiteral("-") }) {
        const QString order = dayFirst ? QStringLiteral("d%1M%1") : QStringLiteral("M%1d%1");
        numeric << order.arg(sep) + QStringLiteral("yyyy") << order.arg(sep) + QStringLiteral("yy");
    }
    date = fromFormats(text, numeric, locale);
    if (date.isValid())
        return date;

    const QStringList named
        = { QStringLiteral("MMM d, yyyy"),  QStringLiteral("MMMM d, yyyy"), QStringLiteral("MMM d yyyy"),
            QStringLiteral("MMMM d yyyy"),  QStringLiteral("d MMM yyyy"),   QStringLiteral("d MMMM yyyy"),
            QStringLiteral("d. MMMM yyyy"), QStringLiteral("d. MMM yyyy") };
    for (const QLocale &l : { locale, QLocale(QLocale::English, QLocale::UnitedStates) }) {
        date = fromFormats(text, named, l);
        if (date.isValid())
            return date;
    }

    const QString word = text.toLower();
    if (word == QLatin1String("today"))
        return today;
    if (word == QLatin1String("yesterday"))
        return today.addDays(-1);
    if (word == QLatin1String("tomorrow"))
        return today.addDays(1);
    return {};
}

} // namespace NaturalDate
