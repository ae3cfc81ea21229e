#include "base/ScriptedAlertPresenter.h"

#include <cstdio>

int ScriptedAlertPresenter::present(const Alert &alert)
{
    m_alerts.append(alert);
    if (m_echo) {
        const QByteArray text = (alert.title + QStringLiteral(": ") + alert.message + QLatin1Char('\n')).toUtf8();
        std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    }
    return m_answers.isEmpty() ? 1000 : m_answers.dequeue();
}
