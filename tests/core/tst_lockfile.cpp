#include "core/DatabaseTools.h"
#include "core/PropertyList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

class TestLockFile : public QObject
{
    Q_OBJECT

    void writeRaw(const QByteArray &bytes)
    {
        QFile f(QDir(m_dir.path()).filePath(QStringLiteral(".inuse")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void lockReadUnlock()
    {
        const QString pkg = m_dir.path();
        QVERIFY(!DatabaseTools::isDatabaseLockedAtPath(pkg));
        QVERIFY(!DatabaseTools::lockDataAtPath(pkg));
        QVERIFY(DatabaseTools::lockDatabaseAtPath(pkg));
        QVERIFY(DatabaseTools::isDatabaseLockedAtPath(pkg));
        const auto lock = DatabaseTools::lockDataAtPath(pkg);
        QVERIFY(lock);
        QCOMPARE(lock->value(QStringLiteral("userName")).toString(), DatabaseTools::currentUserName());
        QCOMPARE(lock->value(QStringLiteral("machineName")).toString(), DatabaseTools::currentMachineName());
        QCOMPARE(lock->value(QStringLiteral("processID")).toLongLong(), QCoreApplication::applicationPid());
        QVERIFY(DatabaseTools::isOwnLock(*lock));
        QVERIFY(!DatabaseTools::isHeldByLiveProcess(*lock)); // our own process
        // The file is an XML property list others can read.
        QFile f(QDir(pkg).filePath(QStringLiteral(".inuse")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("<key>userName</key>"));
        f.close();
        QVERIFY(DatabaseTools::unlockDatabaseAtPath(pkg));
        QVERIFY(!QFile::exists(f.fileName())); // removed, not emptied
        QVERIFY(!DatabaseTools::unlockDatabaseAtPath(pkg)); // logged, nothing else
    }

    void unreadableLocks_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("array, not a dictionary")
            << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>");
        QTest::newRow("plain string") << QByteArray("<plist version=\"1.0\"><string>busy</string></plist>");
        QTest::newRow("garbage") << QByteArray("\x00\x01garbage\xff", 11);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("truncated binary") << QByteArray("bplist00\xd1\x01\x02", 11);
        QTest::newRow("deep nesting") << QByteArray("<plist>") + QByteArray("<array>").repeated(5000)
                                                + QByteArray("</array>").repeated(5000) + QByteArray("</plist>");
    }

    void unreadableLocks()
    {
        QFETCH(QByteArray, bytes);
        writeRaw(bytes);
        QVERIFY(DatabaseTools::isDatabaseLockedAtPath(m_dir.path()));
        QVERIFY(!DatabaseTools::lockDataAtPath(m_dir.path()));
        DatabaseTools::unlockDatabaseAtPath(m_dir.path());
    }

    void foreignLocks_data()
    {
        QTest::addColumn<QVariantMap>("lock");
        QTest::addColumn<bool>("own");
        QTest::addColumn<bool>("live");
        const QString me = DatabaseTools::currentUserName();
        const QString host = DatabaseTools::currentMachineName();
        QTest::newRow("other machine") << QVariantMap{{"userName", me}, {"machineName", "elsewhere"}} << false << true;
        // No process to ask (another program's lock): it may be running.
        QTest::newRow("other user, here, no pid")
            << QVariantMap { { "userName", "zoe" }, { "machineName", host } } << false << true;
        QTest::newRow("own, leftover pid") << QVariantMap{{"userName", me}, {"machineName", host}, {"processID", 999999999}}
                                           << true << false;
        QTest::newRow("own, live pid (init)") << QVariantMap{{"userName", me}, {"machineName", host}, {"processID", 1}}
                                              << true << true;
    }

    void foreignLocks()
    {
        QFETCH(QVariantMap, lock);
        QFETCH(bool, own);
        QFETCH(bool, live);
        QVERIFY(DatabaseTools::writeLockData(m_dir.path(), lock));
        const auto read = DatabaseTools::lockDataAtPath(m_dir.path());
        QVERIFY(read);
        QCOMPARE(DatabaseTools::isOwnLock(*read), own);
        QCOMPARE(DatabaseTools::isHeldByLiveProcess(*read), live);
    }

    void propertyListRoundTrip()
    {
        const QVariantMap value{
            {"text", QStringLiteral("Zoë's \"lamp\" <b>")},
            {"number", qint64(42)},
            {"real", 2.5},
            {"flag", true},
            {"data", QByteArray("\x00\xff", 2)},
            {"when", QDateTime(QDate(2024, 1, 15), QTime(10, 30), QTimeZone::utc())},
            {"list", QVariantList{QStringLiteral("a"), qint64(1)}},
        };
        const auto back = PropertyList::read(PropertyList::toXml(value));
        QVERIFY(back);
        QCOMPARE(back->toMap(), value);
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestLockFile)
#include "tst_lockfile.moc"
