#include "CliTestSupport.h"
#include "base/Settings.h"
#include "cli/CliLibrary.h"
#include "core/DatabaseTools.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestCliLibrary : public QObject
{
    Q_OBJECT

    QString m_out, m_err;
    QTextStream m_os { &m_out }, m_es { &m_err };

    CliContext context(bool force)
    {
        m_out.clear();
        m_err.clear();
        return CliContext { m_dir.filePath(QStringLiteral("Test.stashlyd")), force, m_os, m_es };
    }

private slots:
    void init()
    {
        Settings::setFilePath(m_dir.filePath(QStringLiteral("settings.ini")));
        QDir(m_dir.filePath(QStringLiteral("Test.stashlyd"))).removeRecursively();
    }

    void changingRespectsLiveHolders_data()
    {
        QTest::addColumn<QVariantMap>("lock");
        QTest::addColumn<bool>("force");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<bool>("lockAfter");
        const QString host = DatabaseTools::currentMachineName();
        const QVariantMap live { { "userName", "zoe" }, { "machineName", host }, { "processID", 1 } };
        const QVariantMap stale { { "userName", "zoe" }, { "machineName", host }, { "processID", 999999999 } };
        const QVariantMap remote { { "userName", "zoe" }, { "machineName", "attic-mac" } };
        QTest::newRow("no lock") << QVariantMap() << false << true << false;
        QTest::newRow("live holder refused") << live << false << false << true;
        QTest::newRow("live holder forced: their lock stays") << live << true << true << true;
        QTest::newRow("other machine refused") << remote << false << false << true;
        QTest::newRow("stale lock: taken and released") << stale << false << true << false;
    }

    void changingRespectsLiveHolders()
    {
        QFETCH(QVariantMap, lock);
        QFETCH(bool, force);
        QFETCH(bool, opens);
        QFETCH(bool, lockAfter);
        const QString package = m_dir.filePath(QStringLiteral("Test.stashlyd"));
        if (!lock.isEmpty()) {
            QDir().mkpath(package);
            QVERIFY(DatabaseTools::writeLockData(package, lock));
        }
        CliContext ctx = context(force);
        {
            auto library = CliLibrary::open(ctx, CliLibrary::Access::Change);
            QCOMPARE(bool(library), opens);
            m_es.flush();
            if (!opens)
                QVERIFY2(m_err.contains(QLatin1String("in use by zoe on")), qPrintable(m_err));
            else if (lock.isEmpty() || !lockAfter)
                QVERIFY(DatabaseTools::isOwnLock(*DatabaseTools::lockDataAtPath(package)));
        }
        QCOMPARE(DatabaseTools::isDatabaseLockedAtPath(package), lockAfter);
        if (lockAfter)
            QCOMPARE(DatabaseTools::lockDataAtPath(package)->value("userName").toString(), QStringLiteral("zoe"));
    }

    void infoShowsPathLockAndCounts()
    {
        const QString package = m_dir.filePath(QStringLiteral("Test.stashlyd"));
        {
            CliContext ctx = context(false);
            QVERIFY(CliLibrary::open(ctx, CliLibrary::Access::Change)); // makes the library
        }
        DatabaseTools::writeLockData(package, { { "userName", "zoe" }, { "machineName", "attic-mac" } });
        QString out;
        QCOMPARE(runCliCaptured({ QStringLiteral("--library"), package, QStringLiteral("info") }, &out), 0);
        QVERIFY2(out.startsWith(QStringLiteral("Library: %1\n").arg(package)), qPrintable(out));
        QVERIFY(out.contains(QLatin1String("Locked: yes, by zoe on attic-mac, in use\n")));
        QVERIFY(out.contains(QLatin1String("\nRecord: ")));
        QVERIFY(out.contains(QLatin1String("\nWebsite: ")));
        // Reading leaves the lock as it was.
        QCOMPARE(DatabaseTools::lockDataAtPath(package)->value("userName").toString(), QStringLiteral("zoe"));
    }

    void unopenableLibraryIsReported()
    {
        const QString package = m_dir.filePath(QStringLiteral("Test.stashlyd"));
        QDir().mkpath(package);
        QFile f(QDir(package).filePath(QStringLiteral("sqldata")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("garbage");
        f.close();
        CliContext ctx = context(false);
        QVERIFY(!CliLibrary::open(ctx, CliLibrary::Access::Read));
        m_es.flush();
        QVERIFY2(m_err.contains(QStringLiteral("\"%1\" is not a Stashly library store").arg(f.fileName())),
                 qPrintable(m_err));
        QCOMPARE(m_err.count(QLatin1Char('\n')), 1); // one message, not one per layer
        QVERIFY(!DatabaseTools::isDatabaseLockedAtPath(package));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliLibrary)
#include "tst_cli_library.moc"
