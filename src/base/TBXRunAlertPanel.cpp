#include "base/TBXRunAlertPanel.h"

#include "base/Log.h"

namespace {

AlertPresenter *g_presenter = nullptr;

Alert makeAlert(Alert::Style style, const QString &title, const QString &message, const QString &b1, const QString &b2,
                const QString &b3)
{
    Alert alert { style, title, message, {} };
    for (const QString &b : { b1, b2, b3 })
        if (!b.isEmpty())
            alert.buttons.append(b);
    if (alert.buttons.isEmpty())
        alert.buttons.append(QStringLiteral("OK"));
    return alert;
}

} // namespace

int TBXRunAlertPanel::runWarning(const QString &title, const QString &message, const QString &defaultButton,
                                 const QString &alternateButton, const QString &otherButton)
{
    return run(makeAlert(Alert::Style::Warning, title, message, defaultButton, alternateButton, otherButton));
}

int TBXRunAlertPanel::runInformational(const QString &title, const QString &message, const QString &defaultButton,
                                       const QString &alternateButton, const QString &otherButton)
{
    return run(makeAlert(Alert::Style::Informational, title, message, defaultButton, alternateButton, otherButton));
}

int TBXRunAlertPanel::runCritical(const QString &title, const QString &message, const QString &defaultButton,
                                  const QString &alternateButton, const QString &otherButton)
{
    return run(makeAlert(Alert::Style::Critical, title, message, defaultButton, alternateButton, otherButton));
}

int TBXRunAlertPanel::run(const Alert &alert)
{
    if (!g_presenter) {
        Log::always(QStringLiteral("Alert: %1 - %2").arg(alert.title, alert.message));
        return DefaultReturn;
    }
    return g_presenter->present(alert);
}

void TBXRunAlertPanel::setPresenter(AlertPresenter *presenter)
{
    g_presenter = presenter;
}

AlertPresenter *TBXRunAlertPanel::presenter()
{
    return g_presenter;
}
