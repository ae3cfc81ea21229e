#include "base/EventBus.h"
#include "base/Events.h"
#include "base/PlatformPaths.h"
#include "base/ScriptedAlertPresenter.h"
#include "base/Settings.h"
#include "base/TBXRunAlertPanel.h"
#include "core/DatabaseTools.h"
#include "core/Stashly2_AppDelegate.h"
#include "core/TBXFirstRunSetup.h"
#include "store/ManagedObjectContext.h"
#include "store/UndoManager.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestAppDelegate : public QObject
{
    Q_OBJECT

    QString package() const { return PlatformPaths::defaultLibraryPath(); }

    void writeForeignLock(const QVariantMap &lock)
    {
        QDir().mkpath(package());
        QVERIFY(DatabaseTools::writeLockData(package(), lock));
    }

private slots:
    void init()
    {
        // A fresh home for every test function.
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", m_home->filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home->filePath(QStringLiteral("config")).toUtf8());
        Settings::setFilePath(m_home->filePath(QStringLiteral("settings.ini")));
        m_alerts.clear();
        TBXRunAlertPanel::setPresenter(&m_alerts);
    }

    void cleanup()
    {
        TBXRunAlertPanel::setPresenter(nullptr);
        EventBus::instance().remove(this);
    }

    void firstLaunchMakesThePackageOnce()
    {
        int firstRunEvents = 0;
        EventBus::instance().observe(this, Events::TBXStashly2FirstRun, [&](const Event &) { ++firstRunEvents; });
        const auto withDefaults = [](Stashly2_AppDelegate &delegate) {
            delegate.setHost(
                { {}, [&delegate] { return TBXFirstRunSetup(delegate.managedObjectContext()).setUpDefaults(); } });
        };
        {
            Stashly2_AppDelegate delegate;
            withDefaults(delegate);
            QVERIFY(delegate.managedObjectContext());
            QVERIFY(delegate.isFirstRun());
            QDir pkg(package());
            for (const char *entry : { "sqldata", "Files", "Thumbnails", "StashInbox", "Temp" })
                QVERIFY2(pkg.exists(QLatin1String(entry)), entry);
            QCOMPARE(Settings::text(Settings::DatabasePath), package());
            QVERIFY(!Settings::text(Settings::DownloadPath).isEmpty());
            QVERIFY(Settings::date(Settings::firstRunDate).isValid());
            delegate.applicationDidFinishLaunching();
            QVERIFY(!delegate.isFirstRun());
            QCOMPARE(firstRunEvents, 1);
            QCOMPARE(delegate.applicationShouldTerminate(), Stashly2_AppDelegate::TerminateReply::Now);
        }
        Stashly2_AppDelegate again;
        withDefaults(again);
        QVERIFY(again.managedObjectContext());
        QVERIFY(!again.isFirstRun());
        again.applicationDidFinishLaunching();
        QCOMPARE(firstRunEvents, 1);
        QVERIFY(m_alerts.alerts().isEmpty());
        again.applicationShouldTerminate();
    }

    void vanishedDatabasePathFallsBackToDefault()
    {
        Settings::setValue(Settings::DatabasePath, QStringLiteral("/nonexistent/volume/Old.stashlyd"));
        Stashly2_AppDelegate delegate;
        QVERIFY(delegate.managedObjectContext());
        QCOMPARE(m_alerts.alerts().size(), 1);
        QCOMPARE(m_alerts.alerts().first().title, QStringLiteral("Can't Find Database"));
        QCOMPARE(m_alerts.alerts().first().message,
                 QStringLiteral("The database at '/nonexistent/volume/Old.stashlyd' cannot be found. Resetting to the "
                                "default location."));
        QCOMPARE(Settings::text(Settings::DatabasePath), package());
        QVERIFY(delegate.isFirstRun()); // the default package had to be made
    }

    // What the launch does with a lock it finds, and what each answer leaves.
    void lockAtLaunch_data()
    {
        QTest::addColumn<QVariantMap>("lock");
        QTest::addColumn<bool>("rawGarbage");
        QTest::addColumn<QList<int>>("answers");
        QTest::addColumn<int>("alertCount");
        QTest::addColumn<bool>("terminated");
        QTest::addColumn<bool>("lockedAfter");
        const QVariantMap other { { "userName", "zoe" }, { "machineName", "attic-mac" } };
        const QVariantMap own { { "userName", DatabaseTools::currentUserName() },
                                { "machineName", DatabaseTools::currentMachineName() } };
        QTest::newRow("own leftover: no warning") << own << false << QList<int> {} << 0 << false << true;
        QTest::newRow("foreign, force twice: no lock")
            << other << false << QList<int> { 1001, 1001 } << 2 << false << false;
        QTest::newRow("foreign, quit at once") << other << false << QList<int> { 1000 } << 1 << true << true;
        QTest::newRow("foreign, force then quit") << other << false << QList<int> { 1001, 1000 } << 2 << true << true;
        QTest::newRow("not a dictionary: treated as foreign")
            << QVariantMap() << true << QList<int> { 1001, 1001 } << 2 << false << false;
    }

    void lockAtLaunch()
    {
        QFETCH(QVariantMap, lock);
        QFETCH(bool, rawGarbage);
        QFETCH(QList<int>, answers);
        QFETCH(int, alertCount);
        QFETCH(bool, terminated);
        QFETCH(bool, lockedAfter);
        if (rawGarbage) {
            QDir().mkpath(package());
            QFile f(QDir(package()).filePath(QStringLiteral(".inuse")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("<plist><array/></plist>");
        } else {
            writeForeignLock(lock);
        }
        for (int a : answers)
            m_alerts.queueAnswer(a);
        bool quit = false;
        Stashly2_AppDelegate delegate;
        delegate.setHost({ {}, {}, {}, [&] { quit = true; }, {} });
        QVERIFY(delegate.managedObjectContext());
        delegate.applicationDidFinishLaunching();
        // Relocked for us, and the warning only after launching returned.
        QVERIFY(DatabaseTools::isOwnLock(*DatabaseTools::lockDataAtPath(package())));
        QVERIFY(m_alerts.alerts().isEmpty());
        QTest::qWait(50);
        QCOMPARE(m_alerts.alerts().size(), alertCount);
        if (alertCount) {
            QCOMPARE(m_alerts.alerts().first().title, QStringLiteral("Warning: Database In Use"));
            if (!rawGarbage)
                QVERIFY(
                    m_alerts.alerts().first().message.startsWith(QLatin1String("User 'zoe' on 'attic-mac', is using")));
        }
        QCOMPARE(quit, terminated);
        QCOMPARE(DatabaseTools::isDatabaseLockedAtPath(package()), lockedAfter);
        if (terminated) {
            delegate.applicationShouldTerminate();
            // Quitting from the warning leaves the other user's lock in place.
            QCOMPARE(DatabaseTools::lockDataAtPath(package())->value("userName").toString(), QStringLiteral("zoe"));
        }
    }

    void quitEmptiesTempOnlyAfterChanges_data()
    {
        QTest::addColumn<bool>("change");
        QTest::newRow("no unsaved changes") << false;
        QTest::newRow("unsaved changes") << true;
    }

    void quitEmptiesTempOnlyAfterChanges()
    {
        QFETCH(bool, change);
        Stashly2_AppDelegate delegate;
        ManagedObjectContext *context = delegate.managedObjectContext();
        QVERIFY(context);
        delegate.applicationDidFinishLaunching();
        const QString temp = QDir(package()).filePath(QStringLiteral("Temp"));
        QDir(temp).mkpath(QStringLiteral("page.webarchive.d/inner"));
        QFile f(QDir(temp).filePath(QStringLiteral("scratch.jpg")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        f.setPermissions(QFile::ReadOwner); // read-only entries go too
        if (change)
            context->insertNewObject(QStringLiteral("Location"))
                ->setValue(QStringLiteral("locationName"), QStringLiteral("Shed"));
        QCOMPARE(delegate.applicationShouldTerminate(), Stashly2_AppDelegate::TerminateReply::Now);
        QVERIFY(!DatabaseTools::isDatabaseLockedAtPath(package()));
        QCOMPARE(QDir(temp).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), change);
        QVERIFY(!context->hasChanges());
    }

    // The Undo and Redo commands follow the store's undo manager.
    void undoAndRedoFollowTheStore()
    {
        Stashly2_AppDelegate delegate;
        ManagedObjectContext *context = delegate.managedObjectContext();
        QVERIFY(context);
        delegate.applicationDidFinishLaunching();
        QTest::qWait(20); // the launch's own changes close their undo group
        context->undoManager()->removeAllActions();
        ManagedObject *shed = context->insertNewObject(QStringLiteral("Location"));
        shed->setValue(QStringLiteral("locationName"), QStringLiteral("Shed"));
        QTest::qWait(20); // end of the event-loop turn: the group closes, the change is announced
        QVERIFY(delegate.canUndo());
        QVERIFY(!delegate.canRedo());
        delegate.undoAction();
        QVERIFY(shed->isDeleted() || !context->objectWithID(shed->objectID()));
        QVERIFY(delegate.canRedo());
        delegate.redoAction();
        QVERIFY(delegate.canUndo());
        delegate.applicationShouldTerminate();
    }

    void cancelledQuitKeepsTheLock()
    {
        Stashly2_AppDelegate delegate;
        delegate.setHost({ [] { return false; }, {}, {}, {}, {} });
        QVERIFY(delegate.managedObjectContext());
        delegate.applicationDidFinishLaunching();
        QCOMPARE(delegate.applicationShouldTerminate(), Stashly2_AppDelegate::TerminateReply::Cancel);
        QVERIFY(DatabaseTools::isDatabaseLockedAtPath(package()));
    }

    void unopenableStoreIsLeftUntouched()
    {
        QDir().mkpath(package());
        const QByteArray garbage("this is not a database, and must stay exactly as it is\n");
        QFile f(QDir(package()).filePath(QStringLiteral("sqldata")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(garbage);
        f.close();
        Stashly2_AppDelegate delegate;
        QVERIFY(!delegate.managedObjectContext());
        QVERIFY(!delegate.isFirstRun());
        QCOMPARE(m_alerts.alerts().size(), 2);
        QCOMPARE(m_alerts.alerts().at(1).title, QStringLiteral("Failed to initialize the store"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), garbage);
        QCOMPARE(delegate.applicationShouldTerminate(), Stashly2_AppDelegate::TerminateReply::Now);
    }

    // The real program: its lock appears while it runs and is gone after it quits.
    void realProgramLocksWhileRunning()
    {
        const QString program = QStringLiteral(STASHLY_BINARY_DIR "/src/app/stashly");
        if (!QFile::exists(program))
            QSKIP("the stashly program is not built");
        QProcess stashly;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home->filePath(QStringLiteral("data")));
        stashly.setProcessEnvironment(env);
        stashly.start(program, {});
        QVERIFY(stashly.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(DatabaseTools::isDatabaseLockedAtPath(package()), 20000);
        QCOMPARE(DatabaseTools::lockDataAtPath(package())->value("processID").toLongLong(), stashly.processId());
        stashly.terminate(); // SIGTERM: the normal quit path
        QVERIFY(stashly.waitForFinished(20000));
        QCOMPARE(stashly.exitStatus(), QProcess::NormalExit);
        QVERIFY(!DatabaseTools::isDatabaseLockedAtPath(package()));
    }

    // A second window on the same library is refused (the first keeps its
    // lock), and a signal quits it even while its alert waits for an answer;
    // so does a store that cannot be opened.
    void realProgramRefusedOrBrokenQuitsOnSignal()
    {
        const QString program = QStringLiteral(STASHLY_BINARY_DIR "/src/app/stashly");
        if (!QFile::exists(program))
            QSKIP("the stashly program is not built");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home->filePath(QStringLiteral("data")));
        const auto logHas = [](const QString &text) {
            QFile log(PlatformPaths::logFilePath());
            return log.open(QIODevice::ReadOnly) && QString::fromUtf8(log.readAll()).contains(text);
        };
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(program, {});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(DatabaseTools::isDatabaseLockedAtPath(package()), 20000);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(program, {});
        QVERIFY(second.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(logHas(QStringLiteral("is being changed by")), 20000);
        QTest::qWait(300); // the alert is up
        second.terminate();
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(DatabaseTools::lockDataAtPath(package())->value("processID").toLongLong(), first.processId());
        first.terminate();
        QVERIFY(first.waitForFinished(20000));
        QVERIFY(!DatabaseTools::isDatabaseLockedAtPath(package()));

        // A store that is not one: the alert says so, and a signal still quits.
        const QString store = QDir(package()).filePath(QStringLiteral("sqldata"));
        QVERIFY(QFile::remove(store));
        QFile garbage(store);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(4096, 'x'));
        garbage.close();
        QProcess broken;
        broken.setProcessEnvironment(env);
        broken.start(program, {});
        QVERIFY(broken.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(logHas(QStringLiteral("is not a Stashly library store")), 20000);
        QTest::qWait(300);
        broken.terminate();
        QVERIFY(broken.waitForFinished(20000));
        QVERIFY(garbage.open(QIODevice::ReadOnly));
        QCOMPARE(garbage.readAll(), QByteArray(4096, 'x'));
        QVERIFY(!DatabaseTools::isDatabaseLockedAtPath(package()));
    }

private:
    std::unique_ptr<QTemporaryDir> m_home;
    ScriptedAlertPresenter m_alerts;
};

QTEST_GUILESS_MAIN(TestAppDelegate)
#include "tst_appdelegate.moc"
