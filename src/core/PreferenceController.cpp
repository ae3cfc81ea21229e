#include "core/PreferenceController.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Log.h"
#include "base/MainQueue.h"
#include "base/Settings.h"
#include "base/SidebarFavorites.h"
#include "base/TBXRunAlertPanel.h"

PreferenceController::PreferenceController(QObject *parent)
    : QObject(parent)
{
    EventBus::instance().observe(this, Events::TBXStashly2FirstRun,
                                 [this](const Event &) { handleFirstRunDefaultsSetup(); });
}

PreferenceController::~PreferenceController()
{
    EventBus::instance().remove(this);
}

QStringList PreferenceController::dateFormatMenu()
{
    return {tr("Day/Month/Year (31/12/2026)"), tr("Month/Day/Year (12/31/2026)"), tr("Year/Month/Day (2026/12/31)")};
}

QStringList PreferenceController::decFormatMenu()
{
    return {tr("1,234.56"), tr("1.234,56")};
}

QStringList PreferenceController::colorSchemeMenu()
{
    return {tr("Graphite"), tr("Ocean"), tr("Meadow"), tr("Sunset")};
}

QString PreferenceController::paneTitle(int index)
{
    switch (normalisedPane(index)) {
    case 1:
        return QStringLiteral("Insurance Settings");
    case 2:
        return QStringLiteral("Locations");
    case 3:
        return QStringLiteral("Currencies");
    case 4:
        return QStringLiteral("Websites");
    case 5:
        return QStringLiteral("Database Selection");
    case 6:
        return QStringLiteral("Misc Settings");
    default:
        return QStringLiteral("Payment Methods");
    }
}

int PreferenceController::normalisedPane(int index)
{
    return index >= 1 && index <= 6 ? index : 0;
}

void PreferenceController::startPreferencesWindow()
{
    const auto selectOrStore = [](const QString &key, int fallback) {
        const QVariant v = Settings::value(key);
        if (v.isValid())
            return v.toInt();
        Settings::setValue(key, fallback);
        return fallback;
    };
    m_dateIndex = selectOrStore(Settings::dateFormatIndex, 0);
    m_decIndex = selectOrStore(Settings::decFormatIndex, 0);
    m_colorIndex = selectOrStore(Settings::colorSchemeIndex, 1);
    m_pane = 0;
    emit stateChanged();
}

void PreferenceController::changeDateFormatIndex(int index)
{
    m_dateIndex = index;
    Settings::setValue(Settings::dateFormatIndex, index);
    EventBus::instance().post(Events::TBXDateFormatUpdated, this);
    emit stateChanged();
}

void PreferenceController::changeDecFormatIndex(int index)
{
    m_decIndex = index;
    Settings::setValue(Settings::decFormatIndex, index);
    EventBus::instance().post(Events::TBXDecimalFormatUpdated, this);
    emit stateChanged();
}

void PreferenceController::changeColorSchemeIndex(int index)
{
    m_colorIndex = index;
    Settings::setValue(Settings::colorSchemeIndex, index);
    EventBus::instance().post(Events::TBXColorSchemeUpdated, this);
    emit stateChanged();
}

void PreferenceController::changePreferenceView(int index)
{
    m_pane = normalisedPane(index);
    emit stateChanged();
}

void PreferenceController::handleFirstRunDefaultsSetup()
{
    Log::entry(QStringLiteral("PreferenceController-handleFirstRunDefaultsSetup"));
    // The date order follows the decimal separator, not the locale's date order.
    if (m_locale.decimalPoint() == QLatin1String(".")) {
        m_decIndex = 0;
        m_dateIndex = 1;
    } else {
        m_decIndex = 1;
        m_dateIndex = 0;
    }
    Settings::setValue(Settings::decFormatIndex, m_decIndex);
    Settings::setValue(Settings::dateFormatIndex, m_dateIndex);
    SidebarFavorites::removeFirstNamed(QStringLiteral("StashInbox"));
    emit stateChanged();
}

bool PreferenceController::commitChanges(QString *error)
{
    if (!m_saver)
        return true;
    QString message;
    if (m_saver(&message))
        return true;
    if (error)
        *error = message;
    MainQueue::async([message] {
        TBXRunAlertPanel::runWarning(
            QStringLiteral("Database Save Error"),
            QStringLiteral("An error saving the database has been detected. Your last change was not saved because "
                           "it may be invalid. It is recommended you quit and restart Stashly. If the problem "
                           "persists, please contact support. Error: %1")
                .arg(message),
            QStringLiteral("OK"));
    });
    return false;
}
