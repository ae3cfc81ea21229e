#pragma once

#include <QString>

class ManagedObject;

// The long form of a currency: the text records keep in `currency` and
// `replacementCurrency` and the setting `defaultCurrencySymbol` holds. Every
// place that writes one builds it here, so that a record's currency always
// matches an entry of the currency list.
class CurrencyLabel
{
public:
    // "symbol - code"; with only one of the two, that one alone; with neither,
    // the empty (not null) text, which stores as text rather than as no value.
    static QString longCurrency(const QString &symbol, const QString &code);
    // The same from a Currency object's currencySymbol and currencyName.
    static QString longCurrency(const ManagedObject &currency);
};
