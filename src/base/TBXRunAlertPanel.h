#pragma once

#include "base/AlertPresenter.h"

// The program's alert class: warning, informational and critical alerts with a
// title, up to three buttons and an informative text. Returns 1000, 1001 or
// 1002 for the first, second or third button.
class TBXRunAlertPanel
{
public:
    static int runWarning(const QString &title, const QString &message, const QString &defaultButton,
                          const QString &alternateButton = {}, const QString &otherButton = {});
    static int runInformational(const QString &title, const QString &message, const QString &defaultButton,
                                const QString &alternateButton = {}, const QString &otherButton = {});
    static int runCritical(const QString &title, const QString &message, const QString &defaultButton,
                           const QString &alternateButton = {}, const QString &otherButton = {});
    static int run(const Alert &alert);

    // The presenter in use; the program owns it. Without one, alerts answer 1000
    // and are written to the log.
    static void setPresenter(AlertPresenter *presenter);
    static AlertPresenter *presenter();

    static constexpr int DefaultReturn = 1000;
    static constexpr int AlternateReturn = 1001;
    static constexpr int OtherReturn = 1002;
};
