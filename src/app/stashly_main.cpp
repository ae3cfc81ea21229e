#include "UnixSignalQuit.h"
#include "base/Log.h"
#include "base/TBXRunAlertPanel.h"
#include "core/Stashly2_AppDelegate.h"
#include "core/TBXFirstRunSetup.h"
#include "navigation/VisibleAssetController.h"
#include "records/RecordController.h"
#include "store/ManagedObjectContext.h"
#include "ui/EnhancedDetailCard.h"
#include "ui/MainWindow.h"
#include "ui/NavigationPanes.h"
#include "ui/NewRecordCommand.h"
#include "ui/QtAlertPresenter.h"
#include "ui/TextEditingNotifier.h"
#include "ui/WelcomeSheet.h"

#include <QApplication>
#include <QFileInfo>
#include <QTimer>

#include <memory>

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

    TextEditingNotifier editing;
    Stashly2_AppDelegate delegate;
    std::unique_ptr<TBXFirstRunSetup> firstRun;
    MainWindow window(&delegate);
    alerts.setParent(&window);
    const auto quit = [&window] { QTimer::singleShot(0, &window, &QWidget::close); };
    delegate.setHost({
        [&window] { return window.commitEditing(); },
        [&delegate, &firstRun] {
            firstRun = std::make_unique<TBXFirstRunSetup>(delegate.managedObjectContext());
            return firstRun->setUpDefaults();
        },
        [&window, &firstRun] {
            if (firstRun)
                (new WelcomeSheet(firstRun.get(), &window))->open();
        },
        quit,
        [&window] {
            // Drawn afresh once the launch has set the library up.
            if (auto *card = window.findChild<EnhancedDetailCard *>())
                card->update();
        },
    });
    // A signal quits even while an alert waits for an answer (a store that
    // cannot be opened shows one before the window does).
    UnixSignalQuit signalQuit([&alerts, quit] {
        alerts.dismissAll();
        quit();
    });

    // The store opens while the main window loads, before the launch sequence.
    std::unique_ptr<RecordController> records;
    if (ManagedObjectContext *context = delegate.managedObjectContext()) {
        new NavigationPanes(&window, context);
        records = std::make_unique<RecordController>(context, QFileInfo(context->storePath()).absolutePath());
        records->setRecordArrayControllers(&VisibleAssetController::sharedManager().recordArrayController(), nullptr);
        records->setCategoryArrayController(&VisibleAssetController::sharedManager().categoryArrayController());
        new NewRecordCommand(&window, records.get());
    }
    window.show();
    delegate.applicationDidFinishLaunching();
    const int status = app.exec();
    TBXRunAlertPanel::setPresenter(nullptr);
    return status;
}
