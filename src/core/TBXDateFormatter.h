#pragma once

#include <QDateTime>
#include <QString>

// The date formatter of the record fields. At creation it takes the format of the
// first column of the date table; on TBXDateFormatUpdated the second column.
class TBXDateFormatter
{
public:
    TBXDateFormatter();
    ~TBXDateFormatter();
    TBXDateFormatter(const TBXDateFormatter &) = delete;
    TBXDateFormatter &operator=(const TBXDateFormatter &) = delete;

    QString dateFormat() const { return m_format; }
    QString stringFromDate(const QDate &date) const;
    QString stringFromDate(const QDateTime &dateTime) const;
    // Parses text in the current format; an invalid date when it does not fit.
    QDate dateFromString(const QString &text) const;

    // The two columns of the table. `hasValue` false: no index stored.
    static QString formatAtCreation(bool hasValue, int index);
    static QString formatOnChange(bool hasValue, int index);

private:
    QString m_format;
};
