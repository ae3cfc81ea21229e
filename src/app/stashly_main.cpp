#include "UnixSignalQuit.h"
#include "core/Log.h"
#include "core/Stashly2_AppDelegate.h"
#include "core/TBXRunAlertPanel.h"
#include "ui/MainWindow.h"
#include "ui/QtAlertPresenter.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    Log::redirectStandardError();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Stashly2"));
    QApplication::setApplicationDisplayName(QStringLiteral("Stashly"));
    QApplication::setApplicationVersion(Stashly2_AppDelegate::versionString());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/stashly.svg")));
    QApplication::setQuitOnLastWindowClosed(false);

    QtAlertPresenter alerts;
    TBXRunAlertPanel::setPresenter(&alerts);

    Stashly2_AppDelegate delegate;
    MainWindow window(&delegate);
    alerts.setParent(&window);
    const auto quit = [&window] { QTimer::singleShot(0, &window, &QWidget::close); };
    delegate.setHost({
        [&window] { return window.commitEditing(); },
        {},
        {},
        quit,
        {},
    });
    UnixSignalQuit signalQuit(quit);

    // The store opens while the main window loads, before the launch sequence.
    delegate.managedObjectContext();
    window.show();
    delegate.applicationDidFinishLaunching();
    const int status = app.exec();
    TBXRunAlertPanel::setPresenter(nullptr);
    return status;
}
