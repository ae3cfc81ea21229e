#include "core/WarrantyCalendar.h"

#include <QStringList>
#include <QTimeZone>

#include <algorithm>
#include <climits>

namespace {

// QDate covers far more, but these keep every conversion well defined.
const QDateTime &latest()
{
    static const QDateTime d(QDate(9999, 12, 31), QTime(23, 59, 59, 999), Qt::UTC);
    return d;
}

const QDateTime &earliest()
{
    static const QDateTime d(QDate(-9999, 1, 1), QTime(0, 0), Qt::UTC);
    return d;
}

// The system time zone, looked up once: asking the C library for local time
// checks the zone's file on every call, which a recalculation of every record
// would pay tens of thousands of times.
QDateTime toLocal(const QDateTime &moment)
{
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    return zone.isValid() ? moment.toTimeZone(zone) : moment.toLocalTime();
}

int clampToInt(qint64 n)
{
    return int(std::clamp<qint64>(n, INT_MIN, INT_MAX));
}

// Months and years are added to the local date, so that the wall-clock time and
// the day of the month stay (QDate clamps to the month's last day).
QDateTime addMonths(const QDateTime &local, qint64 months)
{
    const qint64 limit = 12 * 20000;
    if (months > limit || months < -limit)
        return {};
    return local.addMonths(int(months));
}

QDateTime addDays(const QDateTime &local, qint64 days)
{
    const qint64 limit = qint64(366) * 20000;
    if (days > limit || days < -limit)
        return {};
    return local.addDays(days);
}

} // namespace

const QStringList &WarrantyCalendar::increments()
{
    static const QStringList list { Days, Weeks, Months, Years, Lifetime };
    return list;
}

std::optional<QDateTime> WarrantyCalendar::add(const QDateTime &start, qint64 number, const QString &increment)
{
    if (!start.isValid())
        return std::nullopt;
    const QDateTime local = toLocal(start);
    QDateTime end;
    if (increment == Days)
        end = addDays(local, number);
    else if (increment == Weeks)
        end = number > LLONG_MAX / 7 || number < LLONG_MIN / 7 ? QDateTime() : addDays(local, 7 * number);
    else if (increment == Months)
        end = addMonths(local, number);
    else if (increment == Years)
        end = number > LLONG_MAX / 12 || number < LLONG_MIN / 12 ? QDateTime() : addMonths(local, 12 * number);
    else
        return std::nullopt;
    if (!end.isValid() || end > latest() || end < earliest())
        return number >= 0 ? latest() : earliest();
    return end.toUTC();
}

int WarrantyCalendar::completeMonths(const QDateTime &from, const QDateTime &to)
{
    if (!from.isValid() || !to.isValid() || from == to)
        return 0;
    const QDateTime f = toLocal(from);
    const QDateTime t = toLocal(to);
    // The difference of the month numbers lands in the target's month; one step
    // back when the day or the time of day there has not been reached.
    qint64 months = qint64(t.date().year() - f.date().year()) * 12 + (t.date().month() - f.date().month());
    if (t > f) {
        if (months > 0 && f.addMonths(int(months)) > t)
            --months;
    } else {
        if (months < 0 && f.addMonths(int(months)) < t)
            ++months;
    }
    return clampToInt(months);
}

int WarrantyCalendar::completeDays(const QDateTime &from, const QDateTime &to)
{
    if (!from.isValid() || !to.isValid() || from == to)
        return 0;
    const QDateTime f = toLocal(from);
    const QDateTime t = toLocal(to);
    // Calendar days keep the wall-clock time, so a day across a change of
    // daylight saving time is 23 or 25 hours long: start from the elapsed
    // time and correct by adding days in the calendar.
    qint64 days = f.msecsTo(t) / 86400000;
    if (t > f) {
        while (days > 0 && f.addDays(days) > t)
            --days;
        while (f.addDays(days + 1) <= t)
            ++days;
    } else {
        while (days < 0 && f.addDays(days) < t)
            ++days;
        while (f.addDays(days - 1) >= t)
            --days;
    }
    return clampToInt(days);
}
