#include "predicate/PredicateText.h"

#include <QDateTime>

#include <charconv>
#include <cmath>

QString PredicateText::quoted(QStringView text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += QLatin1String("\\\"");
            break;
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

QString PredicateText::numberLiteral(double value)
{
    if (std::isnan(value))
        return QStringLiteral("CAST(\"nan\", \"Number\")");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("CAST(\"inf\", \"Number\")") : QStringLiteral("CAST(\"-inf\", \"Number\")");
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    QString s = QString::fromLatin1(buf, r.ptr - buf);
    if (std::isfinite(value) && !s.contains(u'.') && !s.contains(u'e'))
        s += QLatin1String(".0");
    return s;
}

QString PredicateText::dateLiteral(qint64 msecsSinceEpoch)
{
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::UTC);
    const int year = when.date().year();
    if (when.isValid() && year >= 1 && year <= 9999)
        return QStringLiteral("CAST(%1, \"Date\")").arg(quoted(when.toString(Qt::ISODateWithMs)));
    // Seconds and milliseconds apart, in integers: a double would lose
    // milliseconds this far out, and the product could overflow.
    qint64 secs = msecsSinceEpoch / 1000;
    qint64 millis = msecsSinceEpoch % 1000;
    if (millis < 0) {
        millis += 1000;
        --secs;
    }
    secs -= ReferenceDateMSecs / 1000;
    const bool negative = secs < 0;
    if (negative && millis) {
        secs += 1;
        millis = 1000 - millis;
    }
    return QStringLiteral("CAST(%1%2.%3, \"Date\")")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(negative ? quint64(0) - quint64(secs) : quint64(secs))
        .arg(millis, 3, 10, QLatin1Char('0'));
}

namespace {

int widen(const char *from, int n, char16_t *to)
{
    for (int i = 0; i < n; ++i)
        to[i] = char16_t(uchar(from[i]));
    return n;
}

void twoDigits(int v, char16_t *to)
{
    to[0] = char16_t(u'0' + v / 10);
    to[1] = char16_t(u'0' + v % 10);
}

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
void civilFromDays(qint64 z, qint64 &y, int &m, int &d)
{
    z += 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = yoe + era * 400;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    if (m <= 2)
        ++y;
}

} // namespace

int PredicateText::plainDecimal(double value, char16_t *buffer)
{
    char buf[BufferSize];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    if (r.ec != std::errc())
        r = std::to_chars(buf, buf + sizeof buf, value);
    return widen(buf, int(r.ptr - buf), buffer);
}

int PredicateText::plainInteger(qint64 value, char16_t *buffer)
{
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return widen(buf, int(r.ptr - buf), buffer);
}

int PredicateText::utcDate(qint64 msecsSinceEpoch, char16_t *buffer)
{
    qint64 secs = msecsSinceEpoch / 1000;
    if (msecsSinceEpoch % 1000 < 0)
        --secs;
    qint64 days = secs / 86400;
    qint64 rest = secs % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    qint64 year;
    int month, day;
    civilFromDays(days, year, month, day);
    int n = 0;
    if (year >= 0 && year <= 9999) {
        char16_t *p = buffer;
        p[0] = char16_t(u'0' + year / 1000);
        p[1] = char16_t(u'0' + year / 100 % 10);
        p[2] = char16_t(u'0' + year / 10 % 10);
        p[3] = char16_t(u'0' + year % 10);
        n = 4;
    } else {
        n = plainInteger(year, buffer);
    }
    char16_t *p = buffer + n;
    p[0] = u'-';
    twoDigits(month, p + 1);
    p[3] = u'-';
    twoDigits(day, p + 4);
    p[6] = u' ';
    twoDigits(int(rest / 3600), p + 7);
    p[9] = u':';
    twoDigits(int(rest / 60 % 60), p + 10);
    p[12] = u':';
    twoDigits(int(rest % 60), p + 13);
    const char16_t offset[] = u" +0000";
    for (int i = 0; i < 6; ++i)
        p[15 + i] = offset[i];
    return n + 21;
}

QString PredicateText::plainDecimal(double value)
{
    char16_t buf[BufferSize];
    return QString(reinterpret_cast<const QChar *>(buf), plainDecimal(value, buf));
}

QString PredicateText::utcDate(qint64 msecsSinceEpoch)
{
    char16_t buf[BufferSize];
    return QString(reinterpret_cast<const QChar *>(buf), utcDate(msecsSinceEpoch, buf));
}

bool PredicateText::isReservedWord(QStringView word)
{
    static const char *const words[]
        = { "AND",     "OR",      "NOT",  "IN",    "CONTAINS", "BEGINSWITH",    "ENDSWITH",
            "MATCHES", "LIKE",    "ANY",  "SOME",  "ALL",      "NONE",          "NIL",
            "NULL",    "YES",     "NO",   "TRUE",  "FALSE",    "TRUEPREDICATE", "FALSEPREDICATE",
            "CAST",    "BETWEEN", "SELF", "FIRST", "LAST",     "SIZE",          "SUBQUERY",
            "FUNCTION" };
    for (const char *w : words)
        if (word.compare(QLatin1String(w), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool PredicateText::isIdentifier(QStringView word)
{
    if (word.isEmpty())
        return false;
    for (qsizetype i = 0; i < word.size(); ++i) {
        const QChar c = word[i];
        const bool letter = c.isLetter() || c == u'_';
        if (!(letter || (i > 0 && c.isLetterOrNumber())))
            return false;
    }
    return true;
}

bool PredicateText::isValidKeyPath(QStringView keyPath)
{
    if (keyPath.isEmpty())
        return false;
    for (QStringView part : keyPath.split(u'.'))
        if (!isIdentifier(part))
            return false;
    return true;
}

QString PredicateText::keyPathText(QStringView keyPath)
{
    QString out;
    for (QStringView part : keyPath.split(u'.')) {
        if (!out.isEmpty())
            out += u'.';
        if (isReservedWord(part))
            out += u'#';
        out += part;
    }
    return out;
}
