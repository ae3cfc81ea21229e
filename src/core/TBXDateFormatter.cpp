#include "core/TBXDateFormatter.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Settings.h"

namespace {

void readIndex(bool *hasValue, int *index)
{
    const QVariant v = Settings::value(Settings::dateFormatIndex);
    *hasValue = v.isValid();
    *index = v.toInt();
}

} // namespace

TBXDateFormatter::TBXDateFormatter()
{
    bool has;
    int index;
    readIndex(&has, &index);
    m_format = formatAtCreation(has, index);
    EventBus::instance().observe(this, Events::TBXDateFormatUpdated, [this](const Event &) {
        bool has;
        int index;
        readIndex(&has, &index);
        m_format = formatOnChange(has, index);
    });
}

TBXDateFormatter::~TBXDateFormatter()
{
    EventBus::instance().remove(this);
}

QString TBXDateFormatter::formatAtCreation(bool hasValue, int index)
{
    if (!hasValue)
        return QStringLiteral("M/d/yyyy");
    switch (index) {
    case 0:
        return QStringLiteral("d/M/yyyy");
    case 1:
        return QStringLiteral("M/d/yyyy");
    default:
        return QStringLiteral("yyyy/M/d");
    }
}

QString TBXDateFormatter::formatOnChange(bool hasValue, int index)
{
    if (hasValue && index != 0 && index != 1)
        return QStringLiteral("yyyy/M/dd");
    return formatAtCreation(hasValue, index);
}

QString TBXDateFormatter::stringFromDate(const QDate &date) const
{
    return date.isValid() ? date.toString(m_format) : QString();
}

QString TBXDateFormatter::stringFromDate(const QDateTime &dateTime) const
{
    return dateTime.isValid() ? dateTime.toLocalTime().date().toString(m_format) : QString();
}

QDate TBXDateFormatter::dateFromString(const QString &text) const
{
    return QDate::fromString(text.trimmed(), m_format);
}
