#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Settings.h"
#include "ui/MainWindow.h"
#include "ui/PreferencesWindow.h"
#include "ui/TroubleshootingWindow.h"

#include <QAction>
#include <QApplication>
#include <QTest>
#include <QToolBar>

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void opensMainAndPreferences()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.sourceListArea()->isVisible());
        QVERIFY(window.recordArea()->isVisible());
        QVERIFY(window.detailArea()->isVisible());

        window.showPreferences();
        PreferencesWindow *prefs = window.preferencesWindow();
        QVERIFY(QTest::qWaitForWindowExposed(prefs));
        QCOMPARE(prefs->windowTitle(), QStringLiteral("Payment Methods"));

        // Switching by the toolbar item with identifier "5".
        QAction *database = prefs->findChild<QAction *>(QStringLiteral("5"));
        QVERIFY(database);
        database->trigger();
        QCOMPARE(prefs->windowTitle(), QStringLiteral("Database Selection"));
        QVERIFY(database->isChecked());

        // The Close command closes the window in front: here the preferences.
        prefs->activateWindow();
        QTRY_VERIFY(prefs->isActiveWindow());
        window.closeMenuItem();
        QVERIFY(!prefs->isVisible());
        QVERIFY(window.isVisible());

        window.showTroubleshooting();
        QVERIFY(window.troubleshootingWindow()->controller().isOpen());
        window.troubleshootingWindow()->close();
        QVERIFY(!window.troubleshootingWindow()->controller().isOpen());
        prefs->close();
        window.close();
    }

    // The preferences' first-run step runs with only the main window loaded.
    void firstRunFormatsWithoutOpeningPreferences()
    {
        MainWindow window;
        Settings::setValue(Settings::dateFormatIndex, 2);
        EventBus::instance().post(Events::TBXStashly2FirstRun);
        QVERIFY(Settings::integer(Settings::dateFormatIndex) != 2); // chosen from the locale
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
