#include "core/CurrencyLabel.h"

#include "store/ManagedObject.h"

QString CurrencyLabel::longCurrency(const QString &symbol, const QString &code)
{
    if (!symbol.isEmpty() && !code.isEmpty())
        return QStringLiteral("%1 - %2").arg(symbol, code);
    if (!symbol.isEmpty())
        return symbol;
    return code.isEmpty() ? QStringLiteral("") : code;
}

QString CurrencyLabel::longCurrency(const ManagedObject &currency)
{
    return longCurrency(currency.valueForKey(QStringLiteral("currencySymbol")).toString(),
                        currency.valueForKey(QStringLiteral("currencyName")).toString());
}
