#include "base/Log.h"
#include "base/PlatformPaths.h"
#include "base/Settings.h"
#include "base/TBXLogLevel.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        Settings::setFilePath(m_dir.filePath(QStringLiteral("settings-%1.ini").arg(++m_n)));
    }

    void defaults_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("integer");
        QTest::addColumn<bool>("hasValue");
        QTest::newRow("logLevel") << Settings::logLevel << 0 << false;
        QTest::newRow("colorSchemeIndex") << Settings::colorSchemeIndex << 1 << false;
        QTest::newRow("viewMode (never stored: list view shown by its owner)") << Settings::viewMode << 0 << false;
        QTest::newRow("dateFormatIndex") << Settings::dateFormatIndex << 0 << false;
    }

    void defaults()
    {
        QFETCH(QString, key);
        QFETCH(int, integer);
        QFETCH(bool, hasValue);
        QCOMPARE(Settings::integer(key), integer);
        QCOMPARE(Settings::contains(key), hasValue);
        QVERIFY(!Settings::value(key).isValid());
    }

    void valuesSurviveReopening()
    {
        const QString path = Settings::filePath();
        const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7), Qt::UTC);
        Settings::setValue(Settings::DatabasePath, QStringLiteral("/tmp/x.stashlyd"));
        Settings::setValue(Settings::firstRunDate, when);
        Settings::setValue(Settings::decFormatIndex, 1);
        Settings::setFilePath(QString());
        Settings::setFilePath(path);
        QCOMPARE(Settings::text(Settings::DatabasePath), QStringLiteral("/tmp/x.stashlyd"));
        QCOMPARE(Settings::date(Settings::firstRunDate), when);
        QCOMPARE(Settings::integer(Settings::decFormatIndex), 1);
        Settings::remove(Settings::decFormatIndex);
        QVERIFY(!Settings::contains(Settings::decFormatIndex));
    }

    void parseByType_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::newRow("integer") << Settings::logLevel << "2" << true;
        QTest::newRow("bad integer") << Settings::logLevel << "two" << false;
        QTest::newRow("date") << Settings::firstRunDate << "2024-01-15T10:30:00Z" << true;
        QTest::newRow("bad date") << Settings::firstRunDate << "15/01/2024" << false;
        QTest::newRow("path") << Settings::DownloadPath << "/home/x/Downloads" << true;
    }

    void parseByType()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QString error;
        QCOMPARE(Settings::parse(key, text, &error).isValid(), ok);
        QCOMPARE(error.isEmpty(), ok);
    }

    void logLevelGating_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("entry");
        QTest::addColumn<bool>("trace");
        QTest::newRow("0 -> effective 1") << 0 << false << false;
        QTest::newRow("1 -> effective 2") << 1 << true << false;
        QTest::newRow("2 -> effective 3") << 2 << true << true;
    }

    void logLevelGating()
    {
        QFETCH(int, stored);
        QFETCH(bool, entry);
        QFETCH(bool, trace);
        Settings::setValue(Settings::logLevel, stored);
        QCOMPARE(TBXLogLevel::logLevel(), stored + 1);
        QVERIFY(Log::enabled(Log::Level::Always));
        QCOMPARE(Log::enabled(Log::Level::Entry), entry);
        QCOMPARE(Log::enabled(Log::Level::Trace), trace);
    }

    // The redirection runs in a child process so this test's own stderr stays put.
    void workbenchFolderStopsRedirection_data()
    {
        QTest::addColumn<bool>("workbench");
        QTest::newRow("no Workbench: appended to the log") << false;
        QTest::newRow("Workbench: standard error kept") << true;
    }

    void workbenchFolderStopsRedirection()
    {
        QFETCH(bool, workbench);
        if (qEnvironmentVariableIsSet("STASHLY_REDIRECT_CHILD")) {
            Log::redirectStandardError();
            Log::always(QStringLiteral("child line"));
            return;
        }
        QTemporaryDir home;
        if (workbench)
            QDir(home.path()).mkpath(QStringLiteral("Workbench"));
        const QString logPath = home.filePath(QStringLiteral("state/Stashly2/Stashly2.log"));
        QDir().mkpath(QFileInfo(logPath).absolutePath());
        QFile existing(logPath);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("earlier line\n");
        existing.close();

        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_STATE_HOME"), home.filePath(QStringLiteral("state")));
        env.insert(QStringLiteral("STASHLY_REDIRECT_CHILD"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(
            QCoreApplication::applicationFilePath(),
            { QStringLiteral("workbenchFolderStopsRedirection:%1").arg(QLatin1String(QTest::currentDataTag())) });
        QVERIFY(child.waitForFinished(30000));
        const QByteArray childErr = child.readAllStandardError();

        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray logText = log.readAll();
        QVERIFY(logText.startsWith("earlier line\n")); // appended, not replaced
        QCOMPARE(logText.contains("child line"), !workbench);
        QCOMPARE(childErr.contains("child line"), workbench);
    }

private:
    QTemporaryDir m_dir;
    int m_n = 0;
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
