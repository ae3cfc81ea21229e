#pragma once

#include <QChar>
#include <QString>

#include <optional>

// The number formatter of the record fields (prices, costs). Its decimal and
// grouping symbols follow `decFormatIndex`, re-read on TBXDecimalFormatUpdated.
class TBXNumberFormatter
{
public:
    TBXNumberFormatter();
    ~TBXNumberFormatter();
    TBXNumberFormatter(const TBXNumberFormatter &) = delete;
    TBXNumberFormatter &operator=(const TBXNumberFormatter &) = delete;

    QChar decimalSeparator() const { return m_decimal; }
    QChar groupingSeparator() const { return m_grouping; }
    // The currency symbols are the same as the plain ones.
    QChar currencyDecimalSeparator() const { return m_decimal; }
    QChar currencyGroupingSeparator() const { return m_grouping; }

    // Grouped thousands, `fractionDigits` decimals (halves away from zero).
    QString stringFromNumber(double value, int fractionDigits = 2) const;
    // Accepts the current symbols, with or without grouping; nothing on bad text.
    std::optional<double> numberFromString(const QString &text) const;

    static QChar decimalSymbolFor(int index) { return index == 0 ? QLatin1Char('.') : QLatin1Char(','); }
    static QChar groupingSymbolFor(int index) { return index == 0 ? QLatin1Char(',') : QLatin1Char('.'); }

private:
    void readIndex();

    QChar m_decimal = QLatin1Char('.');
    QChar m_grouping = QLatin1Char(',');
};
