#include "core/TroubleshootingController.h"

#include "base/PlatformPaths.h"
#include "base/Settings.h"

#include <QFile>
#include <QSaveFile>

TroubleshootingController::TroubleshootingController(QObject *parent)
    : QObject(parent)
    , m_logPath(PlatformPaths::logFilePath())
    , m_logLevel(Settings::integer(Settings::logLevel))
{
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &TroubleshootingController::updateLogData);
}

QStringList TroubleshootingController::logLevelMenu()
{
    return { tr("Normal"), tr("Detailed"), tr("Everything") };
}

QUrl TroubleshootingController::knowledgeBaseUrl()
{
    return QUrl(QStringLiteral("https://stashly.app/help/"));
}

QUrl TroubleshootingController::problemReportUrl()
{
    return QUrl(QStringLiteral("https://stashly.app/help/report-a-problem"));
}

QUrl TroubleshootingController::screenRecordingUrl()
{
    return QUrl(QStringLiteral("https://stashly.app/help/screen-recordings"));
}

void TroubleshootingController::openWindow()
{
    updateLogData();
    m_timer.start();
    emit opened();
}

void TroubleshootingController::closeTSWindow()
{
    m_timer.stop();
    emit closed();
}

void TroubleshootingController::updateLogData()
{
    QFile file(m_logPath);
    // An unreadable log shows as empty text.
    const QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    if (text != m_logText) {
        m_logText = text;
        emit logTextChanged();
    }
}

bool TroubleshootingController::clearLog()
{
    // Truncate in place: standard error stays open on this file.
    QFile file(m_logPath);
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.close();
    updateLogData();
    return ok;
}

void TroubleshootingController::logLevelPopupClicked(int index)
{
    m_logLevel = index;
    Settings::setValue(Settings::logLevel, index);
}
