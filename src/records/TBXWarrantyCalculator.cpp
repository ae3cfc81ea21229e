#include "records/TBXWarrantyCalculator.h"

#include "base/Clock.h"
#include "core/WarrantyCalendar.h"

QVariantMap TBXWarrantyCalculator::calculateWarrantyFromPurchaseDate(const QDateTime &purchaseDate, qint32 duration,
                                                                     const QString &increment)
{
    const QDateTime now = Clock::now();
    const QDateTime expiry = WarrantyCalendar::add(purchaseDate, duration, increment).value_or(now);
    return {
        { expirationDateKey, expiry },
        { differenceMonthsKey, WarrantyCalendar::completeMonths(now, expiry) },
        { differenceDaysKey, WarrantyCalendar::completeDays(now, expiry) },
        { origLengthMonthsKey, WarrantyCalendar::completeMonths(purchaseDate, expiry) },
        { origLengthDaysKey, WarrantyCalendar::completeDays(purchaseDate, expiry) },
    };
}
