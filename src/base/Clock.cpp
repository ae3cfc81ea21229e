#include "base/Clock.h"

#include <cmath>

namespace {

std::function<QDateTime()> &source()
{
    static std::function<QDateTime()> theSource;
    return theSource;
}

} // namespace

QDateTime Clock::now()
{
    if (const std::function<QDateTime()> &s = source())
        return s().toUTC();
    return QDateTime::currentDateTimeUtc();
}

void Clock::setNow(const QDateTime &moment)
{
    if (!moment.isValid()) {
        source() = {};
        return;
    }
    const QDateTime fixed = moment.toUTC();
    source() = [fixed] { return fixed; };
}

void Clock::setSource(std::function<QDateTime()> s)
{
    source() = std::move(s);
}

QDateTime Clock::referenceDate()
{
    return QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
}

double Clock::timeIntervalSinceReferenceDate(const QDateTime &moment)
{
    static const qint64 origin = referenceDate().toMSecsSinceEpoch();
    return double(moment.toMSecsSinceEpoch() - origin) / 1000.0;
}

QDateTime Clock::dateWithTimeIntervalSinceReferenceDate(double seconds)
{
    static const qint64 origin = referenceDate().toMSecsSinceEpoch();
    return QDateTime::fromMSecsSinceEpoch(origin + qint64(std::llround(seconds * 1000.0)), Qt::UTC);
}
