#include "base/PropertyList.h"
#include "core/DatabaseTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <sys/wait.h>
#include <unistd.h>

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
        QTest::newRow("other machine") << QVariantMap { { "userName", me }, { "machineName", "elsewhere" } } << false
                                       << true;
        // No process to ask (another program's lock): it may be running.
        QTest::newRow("other user, here, no pid")
            << QVariantMap { { "userName", "zoe" }, { "machineName", host } } << false << true;
        QTest::newRow("own, leftover pid")
            << QVariantMap { { "userName", me }, { "machineName", host }, { "processID", 999999999 } } << true << false;
        QTest::newRow("own, live pid (init)")
            << QVariantMap { { "userName", me }, { "machineName", host }, { "processID", 1 } } << true << true;
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

    // An ended child that nobody collected yet is not a holder.
    void zombiesAreNotRunning()
    {
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        QVERIFY(child > 0);
        QTRY_VERIFY(!DatabaseTools::isProcessRunning(child));
        QVERIFY(DatabaseTools::isProcessRunning(QCoreApplication::applicationPid()));
        ::waitpid(child, nullptr, 0);
    }

    // What a lock says is shown short and on one line, whatever it holds.
    void lockTextsAreShownShort()
    {
        const QString shown = DatabaseTools::describeLock({ { "userName", QString(60000, QLatin1Char('z')) },
                                                            { "machineName", QStringLiteral("attic\n\x1b[2Jmac") } });
        QVERIFY2(shown.size() < 160, qPrintable(shown));
        QVERIFY(!shown.contains(QLatin1Char('\n')) && !shown.contains(QChar(0x1b)));
        QVERIFY(shown.endsWith(QStringLiteral("attic??[2Jmac")));
    }

    // Hostile binary lists never reach the recursive parser.
    void hostileBinaryListsAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const auto be32 = [](quint32 v) {
            const char b[] = { char(v >> 24), char(v >> 16), char(v >> 8), char(v) };
            return QByteArray(b, 4);
        };
        const auto list = [&](const QList<QByteArray> &objects, quint32 top) {
            QByteArray bytes("bplist00"), offsets;
            for (const QByteArray &o : objects) {
                offsets += be32(quint32(bytes.size()));
                bytes += o;
            }
            const quint32 table = quint32(bytes.size());
            return bytes + offsets + QByteArray(6, '\0') + char(4) + char(4) + QByteArray(4, '\0')
                + be32(quint32(objects.size())) + QByteArray(4, '\0') + be32(top) + QByteArray(4, '\0') + be32(table);
        };
        QList<QByteArray> deep;
        for (quint32 i = 0; i < 100000; ++i)
            deep << QByteArray(1, char(0xA1)) + be32(i + 1);
        deep << QByteArray(1, char(0xA0));
        QTest::newRow("nested 100,000 deep") << list(deep, 0);
        QTest::newRow("array holding itself") << list({ QByteArray(1, char(0xA1)) + be32(0) }, 0);
        // Forty arrays each holding the next one twice: 2^40 objects once copied.
        QList<QByteArray> doubling;
        for (quint32 i = 0; i < 40; ++i)
            doubling << QByteArray(1, char(0xA2)) + be32(i + 1) + be32(i + 1);
        doubling << QByteArray(1, char(0xA0));
        QTest::newRow("shared twice per level") << list(doubling, 0);
        QTest::newRow("reference past the end") << list({ QByteArray(1, char(0xA1)) + be32(7) }, 0);
    }

    void hostileBinaryListsAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(!PropertyList::read(bytes));
    }

    // The check passes what the parser reads: a dictionary with a shared value.
    void sharedBinaryObjectsStillRead()
    {
        QByteArray bytes("bplist00");
        const QList<QByteArray> objects { QByteArray("\xD2\x01\x02\x03\x03", 5),
                                          QByteArray("\x51"
                                                     "a"),
                                          QByteArray("\x51"
                                                     "b"),
                                          QByteArray("\x51"
                                                     "v") };
        QByteArray offsets;
        for (const QByteArray &o : objects) {
            offsets += char(bytes.size());
            bytes += o;
        }
        const char table = char(bytes.size());
        bytes += offsets + QByteArray(6, '\0') + char(1) + char(1) + QByteArray(7, '\0') + char(4) + QByteArray(8, '\0')
            + QByteArray(7, '\0') + table;
        const std::optional<QVariant> read = PropertyList::read(bytes);
        QVERIFY(read);
        QCOMPARE(read->toMap(), (QVariantMap { { "a", QStringLiteral("v") }, { "b", QStringLiteral("v") } }));
    }

    void propertyListRoundTrip()
    {
        const QVariantMap value {
            { "text", QStringLiteral("Zoë's \"lamp\" <b>") },
            { "number", qint64(42) },
            { "real", 2.5 },
            { "flag", true },
            { "data", QByteArray("\x00\xff", 2) },
            { "when", QDateTime(QDate(2024, 1, 15), QTime(10, 30), QTimeZone::utc()) },
            { "list", QVariantList { QStringLiteral("a"), qint64(1) } },
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
