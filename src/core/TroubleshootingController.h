#pragma once

#include <QObject>
#include <QTimer>
#include <QUrl>

// The troubleshooting window's logic: shows the log file, refreshed every second
// while the window is open; clears and copies it; sets the log level.
class TroubleshootingController : public QObject
{
    Q_OBJECT

public:
    explicit TroubleshootingController(QObject *parent = nullptr);

    QString logPath() const { return m_logPath; }
    QString logText() const { return m_logText; }
    int logLevelIndex() const { return m_logLevel; }
    bool isOpen() const { return m_timer.isActive(); }

    static QStringList logLevelMenu();
    static QUrl knowledgeBaseUrl();
    static QUrl problemReportUrl();
    static QUrl screenRecordingUrl();

    void openWindow();
    void closeTSWindow();
    void updateLogData();
    bool clearLog();
    // The shown text, for the clipboard; the window puts it there.
    QString copyLog() const { return m_logText; }
    void logLevelPopupClicked(int index);

signals:
    void logTextChanged();
    void opened();
    void closed();

private:
    QString m_logPath;
    QString m_logText;
    int m_logLevel = 0;
    QTimer m_timer;
};
