#include "core/Log.h"
#include "core/TBXRunAlertPanel.h"
#include "ui/MainWindow.h"
#include "ui/QtAlertPresenter.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    Log::redirectStandardError();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Stashly2"));
    QApplication::setApplicationDisplayName(QStringLiteral("Stashly"));
    QApplication::setApplicationVersion(QStringLiteral(STASHLY_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/stashly.svg")));

    MainWindow window;
    QtAlertPresenter alerts(&window);
    TBXRunAlertPanel::setPresenter(&alerts);
    window.show();
    const int status = app.exec();
    TBXRunAlertPanel::setPresenter(nullptr);
    return status;
}
