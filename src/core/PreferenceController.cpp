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
    return { tr("Day/Month/Year (31/12/2026)"), tr("Month/Day/Year (12/31/2026)"), tr("Year/Month/Day (2026/12/31)") };
}

QStringList PreferenceController::decFormatMenu()
{
    return { tr("1,234.56"), tr("1.234,56") };
}

QStringList PreferenceController::colorSchemeMenu()
{
    return { tr("Graphite"), tr("Ocean"), tr("Meadow"), tr("Sunset") };
}

QList<PreferenceController::Pane> PreferenceController::panes()
{
    QList<Pane> all;
    for (int index = 0; index < PaneCount; ++index)
        all.append(Pane(index));
    return all;
}

QString PreferenceController::paneTitle(Pane pane)
{
    switch (pane) {
    case Pane::PaymentMethods:
        break;
    case Pane::Insurance:
        return QStringLiteral("Insurance Settings");
    case Pane::Locations:
        return QStringLiteral("Locations");
    case Pane::Currencies:
        return QStringLiteral("Currencies");
    case Pane::Websites:
        return QStringLiteral("Websites");
    case Pane::Database:
        return QStringLiteral("Database Selection");
    case Pane::Misc:
        return QStringLiteral("Misc Settings");
    }
    return QStringLiteral("Payment Methods");
}

QString PreferenceController::toolbarIdentifier(Pane pane)
{
    return QString::number(int(pane));
}

PreferenceController::Pane PreferenceController::paneFromIndex(int index)
{
    return index >= 1 && index < PaneCount ? Pane(index) : Pane::PaymentMethods;
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
    m_pane = Pane::PaymentMethods;
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

void PreferenceController::changePreferenceView(Pane pane)
{
    m_pane = paneFromIndex(int(pane));
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
