#pragma once

#include <QString>
#include <QStringView>

// Text forms shared by the printer, the parser and the evaluator.
class PredicateText
{
public:
    // A double-quoted literal with \" \\ \n \r \t and \uXXXX for other control characters.
    static QString quoted(QStringView text);
    // The shortest text that reads back as the same double, always with a decimal
    // point or exponent so that it stays a number and never becomes a whole number;
    // CAST("nan", "Number") and the like for values that have no digits.
    static QString numberLiteral(double value);
    // CAST("2014-05-02T04:00:00.000Z", "Date"): ISO 8601 in UTC with milliseconds;
    // dates outside the years 1 to 9999 as CAST(<seconds since 2001-01-01 UTC>, "Date").
    static QString dateLiteral(qint64 msecsSinceEpoch);
    // Milliseconds from 1970-01-01 to 2001-01-01 UTC, the reference date of seconds in casts.
    static constexpr qint64 ReferenceDateMSecs = 978307200000LL;

    // The forms that text tests ("contains" and the like) see for values that are
    // not texts. They write into `buffer` and return the number of characters;
    // no allocation, so that a search over many records stays cheap.
    static constexpr int BufferSize = 400;
    // Plain decimal, no exponent: 12.5, 100, 0.1.
    static int plainDecimal(double value, char16_t *buffer);
    static int plainInteger(qint64 value, char16_t *buffer);
    // UTC as year-month-day hours:minutes:seconds and the offset: 2014-05-02 04:00:00 +0000.
    static int utcDate(qint64 msecsSinceEpoch, char16_t *buffer);

    static QString plainDecimal(double value);
    static QString utcDate(qint64 msecsSinceEpoch);

    // Words with a meaning of their own in the text form (compared case-insensitively);
    // a key named like one is written with a leading '#'.
    static bool isReservedWord(QStringView word);
    static bool isIdentifier(QStringView word);
    // Attribute names joined by dots, each an identifier.
    static bool isValidKeyPath(QStringView keyPath);
    // The key path as written in the text form (reserved words prefixed by '#').
    static QString keyPathText(QStringView keyPath);
};
