#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestRelaunch : public QObject
{
    Q_OBJECT

private slots:
    // The companion waits for the given process to end, then starts the program.
    void waitsThenStarts()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("started"));
        const QString script = dir.filePath(QStringLiteral("program.sh"));
        QFile f(script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(marker).toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QProcess running;
        running.start(QStringLiteral("sleep"), { QStringLiteral("1.5") });
        QVERIFY(running.waitForStarted());
        QProcess relaunch;
        relaunch.start(QStringLiteral(STASHLY_BINARY_DIR "/src/app/relaunch"),
                       { script, QString::number(running.processId()) });
        QVERIFY(relaunch.waitForStarted());
        QTest::qWait(500);
        QVERIFY(!QFile::exists(marker)); // still waiting
        QVERIFY(running.waitForFinished(5000));
        QVERIFY(relaunch.waitForFinished(5000));
        QCOMPARE(relaunch.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
    }

    void refusesBadArguments()
    {
        QProcess relaunch;
        relaunch.start(QStringLiteral(STASHLY_BINARY_DIR "/src/app/relaunch"), { QStringLiteral("only-one") });
        QVERIFY(relaunch.waitForFinished(5000));
        QCOMPARE(relaunch.exitCode(), 2);
    }
};

QTEST_GUILESS_MAIN(TestRelaunch)
#include "tst_relaunch.moc"
