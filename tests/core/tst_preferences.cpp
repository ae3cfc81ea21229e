#include "base/EventBus.h"
#include "base/Events.h"
#include "base/ScriptedAlertPresenter.h"
#include "base/Settings.h"
#include "base/SidebarFavorites.h"
#include "base/TBXRunAlertPanel.h"
#include "core/PreferenceController.h"
#include "core/TroubleshootingController.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestPreferences : public QObject
{
    Q_OBJECT

private slots:
    void init() { Settings::setFilePath(m_dir.filePath(QStringLiteral("s%1.ini").arg(++m_n))); }

    void paneTitles_data()
    {
        using Pane = PreferenceController::Pane;
        QTest::addColumn<int>("index");
        QTest::addColumn<Pane>("pane");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("identifier");
        QTest::newRow("0") << 0 << Pane::PaymentMethods << "Payment Methods"
                           << "0";
        QTest::newRow("1") << 1 << Pane::Insurance << "Insurance Settings"
                           << "1";
        QTest::newRow("2") << 2 << Pane::Locations << "Locations"
                           << "2";
        QTest::newRow("3") << 3 << Pane::Currencies << "Currencies"
                           << "3";
        QTest::newRow("4") << 4 << Pane::Websites << "Websites"
                           << "4";
        QTest::newRow("5") << 5 << Pane::Database << "Database Selection"
                           << "5";
        QTest::newRow("6") << 6 << Pane::Misc << "Misc Settings"
                           << "6";
        QTest::newRow("7 falls back") << 7 << Pane::PaymentMethods << "Payment Methods"
                                      << "0";
        QTest::newRow("-1 falls back") << -1 << Pane::PaymentMethods << "Payment Methods"
                                       << "0";
    }

    void paneTitles()
    {
        QFETCH(int, index);
        QFETCH(PreferenceController::Pane, pane);
        QFETCH(QString, title);
        QFETCH(QString, identifier);
        QCOMPARE(PreferenceController::paneFromIndex(index), pane);
        PreferenceController c;
        c.changePreferenceView(PreferenceController::paneFromIndex(index));
        QCOMPARE(c.currentPane(), pane);
        QCOMPARE(c.windowTitle(), title);
        QCOMPARE(c.selectedToolbarIdentifier(), identifier);
        if (index >= 0 && index < PreferenceController::PaneCount)
            QCOMPARE(PreferenceController::panes().at(index), pane);
    }

    void startStoresMissingIndexes()
    {
        Settings::setValue(Settings::dateFormatIndex, 2);
        PreferenceController c;
        c.startPreferencesWindow();
        QCOMPARE(c.selectedDateFormatIndex(), 2);
        QCOMPARE(Settings::value(Settings::decFormatIndex).toInt(), 0);
        QCOMPARE(Settings::value(Settings::colorSchemeIndex).toInt(), 1);
        QCOMPARE(c.currentPane(), PreferenceController::Pane::PaymentMethods);
    }

    void changesStoreAndPost_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("event");
        QTest::newRow("date") << 0 << Settings::dateFormatIndex << Events::TBXDateFormatUpdated;
        QTest::newRow("decimal") << 1 << Settings::decFormatIndex << Events::TBXDecimalFormatUpdated;
        QTest::newRow("colour") << 2 << Settings::colorSchemeIndex << Events::TBXColorSchemeUpdated;
    }

    void changesStoreAndPost()
    {
        QFETCH(int, which);
        QFETCH(QString, key);
        QFETCH(QString, event);
        PreferenceController c;
        const void *sender = nullptr;
        EventBus::instance().observe(this, event, [&](const Event &e) { sender = e.object; });
        if (which == 0)
            c.changeDateFormatIndex(2);
        else if (which == 1)
            c.changeDecFormatIndex(2);
        else
            c.changeColorSchemeIndex(2);
        EventBus::instance().remove(this);
        QCOMPARE(Settings::integer(key), 2);
        QCOMPARE(sender, static_cast<const void *>(&c));
    }

    void firstRunFormatsFollowDecimalSeparator_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<int>("dec");
        QTest::addColumn<int>("date");
        QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << 0 << 1;
        // British English writes day first but uses "." decimals: month first it is.
        QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << 0 << 1;
        QTest::newRow("de_DE") << QLocale(QLocale::German, QLocale::Germany) << 1 << 0;
    }

    void firstRunFormatsFollowDecimalSeparator()
    {
        QFETCH(QLocale, locale);
        QFETCH(int, dec);
        QFETCH(int, date);
        SidebarFavorites::add(QStringLiteral("/home/me/Documents"));
        SidebarFavorites::add(QStringLiteral("/old/lib.stashlyd/StashInbox"));
        SidebarFavorites::add(QStringLiteral("/other/StashInbox"));
        PreferenceController c;
        c.setLocale(locale);
        EventBus::instance().post(Events::TBXStashly2FirstRun);
        QCOMPARE(Settings::integer(Settings::decFormatIndex), dec);
        QCOMPARE(Settings::integer(Settings::dateFormatIndex), date);
        // Only the first inbox favourite goes.
        QCOMPARE(SidebarFavorites::paths(),
                 QStringList({ QStringLiteral("/home/me/Documents"), QStringLiteral("/other/StashInbox") }));
        QFile::remove(SidebarFavorites::bookmarksPath());
    }

    void failedSaveAlertsLater()
    {
        ScriptedAlertPresenter alerts;
        TBXRunAlertPanel::setPresenter(&alerts);
        PreferenceController c;
        c.setSaver([](QString *error) {
            *error = QStringLiteral("disk full");
            return false;
        });
        QString error;
        QVERIFY(!c.commitChanges(&error));
        QCOMPARE(error, QStringLiteral("disk full"));
        QVERIFY(alerts.alerts().isEmpty()); // shown after the current operation
        QTRY_COMPARE(alerts.alerts().size(), 1);
        QCOMPARE(alerts.alerts().first().title, QStringLiteral("Database Save Error"));
        QVERIFY(alerts.alerts().first().message.endsWith(QLatin1String("Error: disk full")));
        TBXRunAlertPanel::setPresenter(nullptr);
    }

    void troubleshootingReadsClearsAndSetsLevel()
    {
        TroubleshootingController t;
        QDir().mkpath(QFileInfo(t.logPath()).absolutePath());
        QFile log(t.logPath());
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write("line one\n");
        log.close();
        QVERIFY(!t.isOpen());
        t.openWindow();
        QVERIFY(t.isOpen());
        QCOMPARE(t.logText(), QStringLiteral("line one\n"));
        QVERIFY(log.open(QIODevice::Append));
        log.write("line two\n");
        log.close();
        QSignalSpy changed(&t, &TroubleshootingController::logTextChanged);
        QVERIFY(changed.wait(2500)); // the one-second refresh
        QVERIFY(t.copyLog().endsWith(QLatin1String("line two\n")));
        QVERIFY(t.clearLog());
        QCOMPARE(QFileInfo(t.logPath()).size(), 0);
        QCOMPARE(t.logText(), QString());
        t.logLevelPopupClicked(2);
        QCOMPARE(Settings::integer(Settings::logLevel), 2);
        t.closeTSWindow();
        QVERIFY(!t.isOpen());
        QFile::remove(t.logPath());
        t.updateLogData(); // a missing log shows as empty text
        QCOMPARE(t.logText(), QString());
    }

private:
    QTemporaryDir m_dir;
    int m_n = 0;
};

QTEST_GUILESS_MAIN(TestPreferences)
#include "tst_preferences.moc"
