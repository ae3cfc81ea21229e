#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a call on the event loop, so that a
// logout or Ctrl+C quits through the normal quit path (the lock file goes).
class UnixSignalQuit : public QObject
{
    Q_OBJECT

public:
    explicit UnixSignalQuit(std::function<void()> onSignal, QObject *parent = nullptr);
    ~UnixSignalQuit() override;

private:
    std::function<void()> m_onSignal;
    QSocketNotifier *m_notifier = nullptr;
};
