#pragma once

#include <QDateTime>

#include <functional>

// The program's "now". Everything that reads the current moment asks here, so
// that tests can fix the moment (or move it) without waiting for real time.
class Clock
{
public:
    // The current moment in UTC.
    static QDateTime now();

    // A fixed moment from now on; an invalid QDateTime returns to the system clock.
    static void setNow(const QDateTime &moment);
    // A function that gives the moment; an empty function returns to the system clock.
    static void setSource(std::function<QDateTime()> source);
    static void reset() { setSource({}); }

    // 1 January 2001 00:00:00 UTC, the origin of record numbers.
    static QDateTime referenceDate();
    // Seconds since the reference date, with fraction (milliseconds).
    static double timeIntervalSinceReferenceDate(const QDateTime &moment);
    static double timeIntervalSinceReferenceDate() { return timeIntervalSinceReferenceDate(now()); }
    // The moment that many seconds after the reference date.
    static QDateTime dateWithTimeIntervalSinceReferenceDate(double seconds);
};
