#pragma once

#include <QString>
#include <QStringList>

// One alert as the program asks for it.
struct Alert
{
    enum class Style { Warning, Informational, Critical };
    Style style = Style::Warning;
    QString title;
    QString message;
    QStringList buttons; // one to three; the first is the default
};

// Shows alerts. The GUI installs a message-box presenter; tests and the command
// line install a scripted one. Answers are 1000, 1001 or 1002 for the first,
// second or third button.
class AlertPresenter
{
public:
    virtual ~AlertPresenter() = default;
    virtual int present(const Alert &alert) = 0;
};
