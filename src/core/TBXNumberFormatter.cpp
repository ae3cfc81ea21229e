#include "core/TBXNumberFormatter.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Settings.h"

#include <QLocale>

#include <cmath>

TBXNumberFormatter::TBXNumberFormatter()
{
    readIndex();
    EventBus::instance().observe(this, Events::TBXDecimalFormatUpdated, [this](const Event &) { readIndex(); });
}

TBXNumberFormatter::~TBXNumberFormatter()
{
    EventBus::instance().remove(this);
}

void TBXNumberFormatter::readIndex()
{
    const int index = Settings::integer(Settings::decFormatIndex);
    m_decimal = decimalSymbolFor(index);
    m_grouping = groupingSymbolFor(index);
}

QString TBXNumberFormatter::stringFromNumber(double value, int fractionDigits) const
{
    if (!std::isfinite(value))
        return {};
    const double scale = std::pow(10.0, fractionDigits);
    const double rounded = std::round(value * scale) / scale;
    // The C locale gives "," grouping and "." decimals; swap in ours.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::DefaultNumberOptions);
    const QString plain = c.toString(rounded, 'f', fractionDigits);
    QString out;
    out.reserve(plain.size());
    for (QChar ch : plain) {
        if (ch == QLatin1Char(','))
            out.append(m_grouping);
        else if (ch == QLatin1Char('.'))
            out.append(m_decimal);
        else
            out.append(ch);
    }
    return out;
}

std::optional<double> TBXNumberFormatter::numberFromString(const QString &text) const
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    t.remove(m_grouping);
    t.replace(m_decimal, QLatin1Char('.'));
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}
