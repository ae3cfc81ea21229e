#include "StoreTestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace StoreTestSupport;
using Mode = ManagedObjectContext::OpenMode;

// A process killed while it saves leaves the last saved state readable: the
// child saves, and the test kills it with SIGKILL at chosen moments.
class TestStoreKill : public QObject
{
    Q_OBJECT

    static constexpr int kRecords = 4000; // about 2.5 MB of text: more than the page cache holds

    static QString itemOfGeneration(int generation)
    {
        return QStringLiteral("gen %1 ").arg(generation) + QString(600, QLatin1Char('x'));
    }

    // The one generation all records are at; -1 when they disagree.
    static int generationOf(ManagedObjectContext &c)
    {
        const QList<ManagedObject *> records = all(c, QStringLiteral("Record"));
        if (records.size() != kRecords)
            return -1;
        static const QRegularExpression form(QStringLiteral("^gen (\\d+) x{600}$"));
        int generation = -1;
        for (ManagedObject *r : records) {
            const QRegularExpressionMatch m = form.match(r->valueForKey(QStringLiteral("item")).toString());
            if (!m.hasMatch())
                return -1;
            const int g = m.captured(1).toInt();
            if (generation >= 0 && g != generation)
                return -1;
            generation = g;
        }
        return generation;
    }

    QString makeLibrary()
    {
        const QString file = m_dir.filePath(QStringLiteral("sqldata%1").arg(++m_n));
        auto c = openStore(file);
        for (int i = 0; i < kRecords; ++i)
            c->insertNewObject(QStringLiteral("Record"))->set(QStringLiteral("item"), itemOfGeneration(0));
        if (!c->save())
            return QString();
        return file;
    }

private slots:
    void killedInsideTheSaveTransaction()
    {
        const QString file = makeLibrary();
        QVERIFY(!file.isEmpty());
        QProcess child;
        child.start(QStringLiteral(STORE_SAVE_CHILD), { file, QStringLiteral("hang") });
        QVERIFY(child.waitForStarted());
        QByteArray out;
        while (!out.contains("committing") && child.waitForReadyRead(60000))
            out += child.readAllStandardOutput();
        QVERIFY2(out.contains("committing"), child.readAllStandardError().constData());
        // Pages of the unfinished save lie in the log beside the file: a real half save.
        QVERIFY(QFileInfo(file + QStringLiteral("-wal")).size() > 1000000);
        child.kill();
        QVERIFY(child.waitForFinished());

        const QByteArray digest = fileDigest(file);
        {
            auto c = openStore(file, Mode::ReadOnly);
            QVERIFY(c);
            QCOMPARE(generationOf(*c), 0);
        }
        QCOMPARE(fileDigest(file), digest); // reading recovered a copy, not the file
        {
            auto c = openStore(file, Mode::OpenExisting);
            QVERIFY(c);
            QCOMPARE(generationOf(*c), 0);
            all(*c, QStringLiteral("Record"))
                .first()
                ->set(QStringLiteral("item"), itemOfGeneration(0) + QLatin1Char('!'));
            QVERIFY(c->save()); // and it takes saves again
        }
        // Closed, the store is one file again.
        QVERIFY(!QFileInfo::exists(file + QStringLiteral("-journal")));
        QVERIFY(!QFileInfo::exists(file + QStringLiteral("-wal")));
    }

    void killedBetweenAndDuringSaves_data()
    {
        QTest::addColumn<int>("delay");
        for (int delay : { 0, 37, 150, 420 })
            QTest::addRow("after %d ms", delay) << delay;
    }

    void killedBetweenAndDuringSaves()
    {
        QFETCH(int, delay);
        const QString file = makeLibrary();
        QVERIFY(!file.isEmpty());
        QProcess child;
        child.start(QStringLiteral(STORE_SAVE_CHILD), { file, QStringLiteral("loop") });
        QVERIFY(child.waitForStarted());
        QByteArray out;
        while (!out.contains("saved 1\n") && child.waitForReadyRead(60000))
            out += child.readAllStandardOutput();
        QVERIFY2(out.contains("saved 1\n"), child.readAllStandardError().constData());
        QTest::qSleep(delay);
        child.kill();
        QVERIFY(child.waitForFinished());
        out += child.readAllStandardOutput();
        int lastReported = 0;
        for (const QByteArray &line : out.split('\n'))
            if (line.startsWith("saved "))
                lastReported = line.mid(6).toInt();

        auto c = openStore(file, Mode::OpenExisting);
        QVERIFY(c);
        const int generation = generationOf(*c);
        // The save under way when the kill came either committed whole or not at all.
        QVERIFY2(generation == lastReported || generation == lastReported + 1,
                 qPrintable(QStringLiteral("store at %1, last reported %2").arg(generation).arg(lastReported)));
    }

private:
    QTemporaryDir m_dir;
    int m_n = 0;
};

QTEST_GUILESS_MAIN(TestStoreKill)
#include "tst_storekill.moc"
