#include "base/EventBus.h"
#include "base/Events.h"
#include "core/WindowCloseController.h"

#include <QTest>

using Target = WindowCloseController::Target;
using State = WindowCloseController::WindowState;
Q_DECLARE_METATYPE(Target)
Q_DECLARE_METATYPE(State)

class TestWindowClose : public QObject
{
    Q_OBJECT

private slots:
    void closeOrder_data()
    {
        QTest::addColumn<State>("state");
        QTest::addColumn<Target>("target");
        QTest::addColumn<bool>("tabEvent");
        QTest::addColumn<bool>("reopenShown");
        QTest::newRow("browser with two tabs beats everything")
            << State { true, 2, true, true, true, true, true } << Target::BrowserTab << true << false;
        QTest::newRow("browser with one tab: main window")
            << State { true, 1, false, false, false, true, false } << Target::MainWindow << false << true;
        QTest::newRow("about before preferences")
            << State { false, 0, true, true, false, false, false } << Target::About << false << false;
        QTest::newRow("preferences key") << State { false, 0, false, true, true, true, false } << Target::Preferences
                                         << false << false;
        QTest::newRow("visible file viewer before main window")
            << State { false, 0, false, false, true, true, false } << Target::FileViewer << false << false;
        QTest::newRow("file finder last")
            << State { false, 0, false, false, false, false, true } << Target::FileFinder << false << false;
        QTest::newRow("nothing key") << State {} << Target::Nothing << false << false;
    }

    void closeOrder()
    {
        QFETCH(State, state);
        QFETCH(Target, target);
        QFETCH(bool, tabEvent);
        QFETCH(bool, reopenShown);
        WindowCloseController c;
        int tabEvents = 0;
        EventBus::instance().observe(this, Events::TBXTabIsClosing, [&](const Event &e) {
            ++tabEvents;
            QVERIFY(e.userInfo.isEmpty());
        });
        QCOMPARE(c.closeMenuItem(state), target);
        EventBus::instance().remove(this);
        QCOMPARE(tabEvents, tabEvent ? 1 : 0);
        QCOMPARE(c.reopenMainWindowItemVisible(), reopenShown);
        c.reopenMainWindow();
        QVERIFY(!c.reopenMainWindowItemVisible());
    }
};

QTEST_GUILESS_MAIN(TestWindowClose)
#include "tst_windowclose.moc"
