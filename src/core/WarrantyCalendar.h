#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// Warranty lengths in the Gregorian calendar of the system time zone: adding
// "Days", "Weeks", "Months" or "Years" to a moment, and counting complete months
// or days between two moments. Months and years keep the day of the month where
// it exists and otherwise give the last day of the target month. Every unit
// keeps the wall-clock time; a time that the change to summer time skips moves
// forward by the skipped hour, and a time shown twice in autumn is the first.
class WarrantyCalendar
{
public:
    static inline const QString Days = QStringLiteral("Days");
    static inline const QString Weeks = QStringLiteral("Weeks");
    static inline const QString Months = QStringLiteral("Months");
    static inline const QString Years = QStringLiteral("Years");
    static inline const QString Lifetime = QStringLiteral("Lifetime");

    // The increments a warranty length can have, in menu order.
    static const QStringList &increments();

    // `start` plus `number` units of `increment` (compared exactly, case
    // included); none for "Lifetime" and for any other text. A length beyond the
    // calendar's range gives its first or last representable day.
    static std::optional<QDateTime> add(const QDateTime &start, qint64 number, const QString &increment);

    // Complete calendar months, or complete days, from `from` to `to`; negative
    // when `to` lies before `from`; truncated toward zero; limited to 32 bits.
    static int completeMonths(const QDateTime &from, const QDateTime &to);
    static int completeDays(const QDateTime &from, const QDateTime &to);
};
