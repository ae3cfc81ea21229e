#pragma once

#include "base/AlertPresenter.h"

#include <QList>
#include <QQueue>

// Records every alert and answers from a queue; with the queue empty it answers
// with the first button (1000), as pressing Return would.
class ScriptedAlertPresenter : public AlertPresenter
{
public:
    int present(const Alert &alert) override;

    void queueAnswer(int answer) { m_answers.enqueue(answer); }
    const QList<Alert> &alerts() const { return m_alerts; }
    void clear()
    {
        m_alerts.clear();
        m_answers.clear();
    }

    // Write each alert to standard error as it arrives (the command line).
    void setEcho(bool echo) { m_echo = echo; }

private:
    QList<Alert> m_alerts;
    QQueue<int> m_answers;
    bool m_echo = false;
};
