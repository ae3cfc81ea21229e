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
const QTimeZone &systemZone()
{
    static const QTimeZone zone = QTimeZone::systemTimeZone();
    return zone;
}

QDateTime toLocal(const QDateTime &moment)
{
    return systemZone().isValid() ? moment.toTimeZone(systemZone()) : moment.toLocalTime();
}

int offsetAt(qint64 utcMsecs)
{
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(utcMsecs, Qt::UTC);
    return systemZone().isValid() ? systemZone().offsetFromUtc(utc) : utc.toLocalTime().offsetFromUtc();
}

// The moment a wall clock in the system zone shows `time` on `date`. Qt 6.4
// resolves times that do not exist differently depending on how they were
// reached, so both cases are settled here: a time in the spring gap moves
// forward by the length of the gap, and a time the autumn change shows twice
// is its first occurrence.
QDateTime atWallTime(const QDate &date, const QTime &time)
{
    const qint64 wall = QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
    // No zone changes its offset twice within two days.
    const qint64 day = 86400000;
    const int before = offsetAt(wall - day);
    const int after = offsetAt(wall + day);
    if (before == after)
        return QDateTime::fromMSecsSinceEpoch(wall - qint64(before) * 1000, Qt::UTC);
    const qint64 inBefore = wall - qint64(before) * 1000;
    const qint64 inAfter = wall - qint64(after) * 1000;
    const bool beforeFits = offsetAt(inBefore) == before;
    const bool afterFits = offsetAt(inAfter) == after;
    qint64 utc = inBefore; // also the gap: read with the offset before it, the clock shows the time plus the gap
    if (afterFits)
        utc = beforeFits ? std::min(inBefore, inAfter) : inAfter;
    return QDateTime::fromMSecsSinceEpoch(utc, Qt::UTC);
}

int clampToInt(qint64 n)
{
    return int(std::clamp<qint64>(n, INT_MIN, INT_MAX));
}

// Months and years move the calendar date and keep the wall-clock time (QDate
// clamps the day to the month's last day); none beyond the calendar's range.
QDateTime addMonths(const QDateTime &local, qint64 months)
{
    const qint64 limit = 12 * 20000;
    if (months > limit || months < -limit)
        return {};
    return atWallTime(local.date().addMonths(int(months)), local.time());
}

QDateTime addDays(const QDateTime &local, qint64 days)
{
    const qint64 limit = qint64(366) * 20000;
    if (days > limit || days < -limit)
        return {};
    return atWallTime(local.date().addDays(days), local.time());
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
        if (months > 0 && addMonths(f, months) > t)
            --months;
    } else {
        if (months < 0 && addMonths(f, months) < t)
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
        while (days > 0 && addDays(f, days) > t)
            --days;
        while (addDays(f, days + 1) <= t)
            ++days;
    } else {
        while (days < 0 && addDays(f, days) < t)
            ++days;
        while (addDays(f, days - 1) >= t)
            --days;
    }
    return clampToInt(days);
}
