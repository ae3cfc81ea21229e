#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantMap>

// Warranty arithmetic for the vehicle and building details of categories: the
// expiry of a length bought on a date, and how many complete months and days
// lie between purchase, now and expiry. Stateless.
class TBXWarrantyCalculator
{
public:
    // Keys of the result.
    static inline const QString expirationDateKey = QStringLiteral("expirationDate");
    static inline const QString differenceMonthsKey = QStringLiteral("differenceMonths");
    static inline const QString differenceDaysKey = QStringLiteral("differenceDays");
    static inline const QString origLengthMonthsKey = QStringLiteral("origLengthMonths");
    static inline const QString origLengthDaysKey = QStringLiteral("origLengthDays");

    // "expirationDate": the purchase date plus `duration` units of `increment`
    // (the current moment for "Lifetime" and any other text); "differenceMonths"
    // and "differenceDays": complete months and days from now to it (negative
    // when it is past); "origLengthMonths" and "origLengthDays": the same from
    // the purchase date. Counts are ints.
    static QVariantMap calculateWarrantyFromPurchaseDate(const QDateTime &purchaseDate, qint32 duration,
                                                         const QString &increment);
};
