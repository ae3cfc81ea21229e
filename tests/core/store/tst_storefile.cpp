#include "StoreTestSupport.h"

#include "base/ScriptedAlertPresenter.h"
#include "base/TBXRunAlertPanel.h"
#include "core/SaveFailureConvention.h"
#include "store/Stashly2_DataModel.h"
#include "store/ToManySet.h"

#include <QDateTime>
#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimeZone>

#include <cstdio>
#include <unistd.h>

using namespace StoreTestSupport;
using Mode = ManagedObjectContext::OpenMode;

// Opening: files that are not ours, damaged or newer are refused and left
// byte for byte as they were; older stores are migrated; a failed save keeps
// the change and reports it by the save-failure convention.
class TestStoreFile : public QObject
{
    Q_OBJECT

    QString m_folder;

    static bool execute(const QString &file, const QStringList &statements)
    {
        const QString name = QStringLiteral("fixture");
        bool ok = true;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(file);
            ok = db.open();
            QSqlQuery q(db);
            for (const QString &s : statements) {
                if (ok && !q.exec(s)) {
                    qWarning("%s: %s", qPrintable(s), qPrintable(q.lastError().text()));
                    ok = false;
                }
            }
        }
        QSqlDatabase::removeDatabase(name);
        return ok;
    }

    static QStringList fixtureStatements(const QString &sqlFile)
    {
        QFile f(sqlFile);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList statements;
        for (const QString &s : QString::fromUtf8(f.readAll()).split(QStringLiteral(";\n"))) {
            QStringList lines = s.split(QLatin1Char('\n'));
            lines.removeIf([](const QString &l) { return l.startsWith(QLatin1String("--")) || l.trimmed().isEmpty(); });
            if (!lines.isEmpty())
                statements.append(lines.join(QLatin1Char('\n')));
        }
        return statements;
    }

    static void makeStore(const QString &file, int records = 1)
    {
        auto c = openStore(file);
        QVERIFY(c);
        for (int i = 0; i < records; ++i)
            c->insertNewObject(QStringLiteral("Record"))
                ->set(QStringLiteral("item"), QString(200, QLatin1Char('a' + i % 26)));
        QVERIFY(c->save());
    }

    static void writeBytes(const QString &file, const QByteArray &bytes, qint64 at = -1)
    {
        QFile f(file);
        QVERIFY(f.open(at < 0 ? QIODevice::WriteOnly : QIODevice::ReadWrite));
        if (at >= 0)
            f.seek(at);
        f.write(bytes);
    }

private slots:
    void initTestCase()
    {
        static QTemporaryDir dir;
        m_folder = dir.path();
    }

    void refusedFilesStayUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty file") << "empty"
                                    << "is not a Stashly library store";
        QTest::newRow("text file") << "text"
                                   << "is not a Stashly library store";
        QTest::newRow("garbage after the header") << "garbage"
                                                  << "is damaged";
        QTest::newRow("another program's database") << "foreign"
                                                    << "is not a Stashly library store";
        QTest::newRow("metadata of another program") << "other identifier"
                                                     << "is not a Stashly library store";
        QTest::newRow("newer version") << "newer"
                                       << "newer version of Stashly (store version 99";
        QTest::newRow("unreadable version") << "bad version"
                                            << "is damaged";
        QTest::newRow("damaged pages") << "damaged"
                                       << "is damaged";
        QTest::newRow("impossible identifier") << "huge key"
                                               << "is damaged";
    }

    void refusedFilesStayUntouched()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString folder = QDir(m_folder).filePath(kind);
        QDir().mkpath(folder);
        const QString file = QDir(folder).filePath(QStringLiteral("sqldata"));
        const QString metadata = QStringLiteral("UPDATE stashly_metadata SET value = '%1' WHERE key = '%2'");
        if (kind == QLatin1String("empty")) {
            writeBytes(file, QByteArray());
        } else if (kind == QLatin1String("text")) {
            writeBytes(file, QByteArray("shopping list\n").repeated(100));
        } else if (kind == QLatin1String("garbage")) {
            writeBytes(file, QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\x5a'));
        } else if (kind == QLatin1String("foreign")) {
            QVERIFY(execute(file, { "CREATE TABLE people (name TEXT)", "INSERT INTO people VALUES ('Ann')" }));
        } else if (kind == QLatin1String("other identifier")) {
            makeStore(file);
            QVERIFY(execute(file, { metadata.arg("SomethingElse", "identifier") }));
        } else if (kind == QLatin1String("newer")) {
            makeStore(file);
            QVERIFY(execute(file, { metadata.arg("99", "modelVersion") }));
        } else if (kind == QLatin1String("bad version")) {
            makeStore(file);
            QVERIFY(execute(file, { metadata.arg("two", "modelVersion") }));
        } else if (kind == QLatin1String("huge key")) {
            makeStore(file);
            QVERIFY(execute(file, { "UPDATE e_Record SET pk = 1099511627776" }));
        } else if (kind == QLatin1String("damaged")) {
            makeStore(file, 300);
            writeBytes(file, QByteArray(4096, '\xaa'), QFileInfo(file).size() / 2);
        }
        const QByteArray digest = fileDigest(file);
        const QStringList entries = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        for (Mode mode : { Mode::OpenExisting, Mode::CreateIfMissing, Mode::ReadOnly }) {
            QString error;
            QVERIFY(!ManagedObjectContext::open(file, mode, &error));
            QVERIFY2(error.contains(message), qPrintable(error));
            QVERIFY2(error.contains(file), qPrintable(error));
        }
        QCOMPARE(fileDigest(file), digest);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), entries);
    }

    void missingFile()
    {
        const QString file = QDir(m_folder).filePath(QStringLiteral("missing"));
        QString error;
        QVERIFY(!ManagedObjectContext::open(file, Mode::OpenExisting, &error));
        QVERIFY(error.contains(QLatin1String("There is no library store")));
        QVERIFY(!ManagedObjectContext::open(file, Mode::ReadOnly, &error));
        QVERIFY(!QFileInfo::exists(file));
        // A creation that was interrupted earlier is simply made again.
        writeBytes(file + QStringLiteral(".creating"), QByteArray("half"));
        QVERIFY(ManagedObjectContext::open(file, Mode::CreateIfMissing, &error));
        QVERIFY(QFileInfo::exists(file));
        QVERIFY(!QFileInfo::exists(file + QStringLiteral(".creating")));
    }

    void olderStoreIsMigrated()
    {
        const QString file = QDir(m_folder).filePath(QStringLiteral("v1"));
        const QStringList statements = fixtureStatements(QStringLiteral(STASHLY_TEST_DATA "/store-v1.sql"));
        QVERIFY(statements.size() > 20);
        QVERIFY(execute(file, statements));
        const QByteArray digest = fileDigest(file);

        // Read-only opening reads the old layout and writes nothing.
        {
            auto c = openStore(file, Mode::ReadOnly);
            QVERIFY(c);
            QCOMPARE(all(*c, QStringLiteral("Record")).size(), 2);
            QVERIFY(all(*c, QStringLiteral("Group")).isEmpty());
        }
        QCOMPARE(fileDigest(file), digest);

        QString uri;
        {
            auto c = openStore(file, Mode::OpenExisting);
            QVERIFY(c);
            const QList<ManagedObject *> records = all(*c, QStringLiteral("Record"));
            QCOMPARE(records.size(), 2);
            ManagedObject *drill = records.first();
            QCOMPARE(drill->valueForKey(QStringLiteral("item")), QVariant(QStringLiteral("Cordless drill")));
            QCOMPARE(drill->valueForKey(QStringLiteral("purchaseDate")).toDateTime(),
                     QDateTime(QDate(2014, 5, 2), QTime(4, 0), QTimeZone::utc()));
            QCOMPARE(drill->valueForKey(QStringLiteral("insured")), QVariant(true));
            QCOMPARE(drill->valueForKey(QStringLiteral("notes")), QVariant(QByteArray("\x01\x02")));
            QVERIFY(!drill->valueForKey(QStringLiteral("imageUID")).isValid());
            QCOMPARE(drill->relatedObjects(0).value(0)->valueForKey(QStringLiteral("cfTextField")),
                     QVariant(QStringLiteral("18 V")));
            // What version 2 added works at once.
            drill->set(QStringLiteral("imageUID"), QStringLiteral("IMG-1"));
            ManagedObject *group = c->insertNewObject(QStringLiteral("Group"));
            group->mutableSetValueForKey(QStringLiteral("website"))
                .addObject(c->insertNewObject(QStringLiteral("Website")));
            QCOMPARE(c->insertNewObject(QStringLiteral("Record"))->primaryKey(), qint64(4));
            QVERIFY(c->save());
            uri = drill->objectID().uriRepresentation();
        }
        auto c = openStore(file, Mode::OpenExisting);
        QVERIFY(c);
        QCOMPARE(c->storeUUID(), QStringLiteral("5f0c7e8a-2b1d-4c3e-9a6f-0d1e2f3a4b5c"));
        ManagedObject *drill = c->objectWithID(*c->managedObjectIDForURIRepresentation(uri));
        QCOMPARE(drill->valueForKey(QStringLiteral("imageUID")), QVariant(QStringLiteral("IMG-1")));
        QCOMPARE(all(*c, QStringLiteral("Group")).first()->relatedObjects(0).size(), 1);
        c.reset();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("peek"));
        db.setDatabaseName(file);
        QVERIFY(db.open());
        QSqlQuery q(QStringLiteral("SELECT value FROM stashly_metadata WHERE key = 'modelVersion'"), db);
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), Stashly2_DataModel::currentVersion);
        q.finish();
        db.close();
    }

    void failedSaveKeepsTheChangeAndReports()
    {
        const QString file = QDir(m_folder).filePath(QStringLiteral("failing"));
        auto c = openStore(file);
        ManagedObject *location = c->insertNewObject(QStringLiteral("Location"));
        location->set(QStringLiteral("locationName"), QStringLiteral("Shed"));
        QVERIFY(c->save());
        // Another writer breaks the file under the store.
        QVERIFY(execute(file, { "DROP TABLE e_Location" }));
        location->set(QStringLiteral("locationName"), QStringLiteral("Barn"));

        ScriptedAlertPresenter alerts;
        TBXRunAlertPanel::setPresenter(&alerts);
        QTemporaryFile log;
        QVERIFY(log.open());
        fflush(stderr);
        const int saved = dup(fileno(stderr));
        dup2(log.handle(), fileno(stderr));
        const bool ok = SaveFailureConvention::commitChanges(*c, location);
        fflush(stderr);
        dup2(saved, fileno(stderr));
        close(saved);
        QVERIFY(!ok);
        // The change stays in memory, the alert follows the current operation.
        QCOMPARE(location->valueForKey(QStringLiteral("locationName")), QVariant(QStringLiteral("Barn")));
        QVERIFY(c->hasChanges());
        QCOMPARE(alerts.alerts().size(), 0);
        QTRY_COMPARE(alerts.alerts().size(), 1);
        const Alert alert = alerts.alerts().first();
        QCOMPARE(alert.style, Alert::Style::Warning);
        QCOMPARE(alert.title, QStringLiteral("Record Save Failure"));
        QCOMPARE(alert.buttons, QStringList { QStringLiteral("OK") });
        QVERIFY(alert.message.startsWith(QLatin1String(
            "An error saving the database has been detected. Your last change was not saved because it may be "
            "invalid. It is recommended you quit and restart Stashly. If you continue to receive this error, please "
            "contact support. Error: The library store")));
        log.seek(0); // the descriptor was shared, and so was its position
        const QString logged = QString::fromUtf8(log.readAll());
        QVERIFY2(logged.contains(QLatin1String("Error committing changes: The library store")), qPrintable(logged));
        QVERIFY2(logged.contains(QLatin1String("no such table")), qPrintable(logged));
        QVERIFY2(logged.contains(
                     QStringLiteral(" \n Record Data: <Location %1>").arg(location->objectID().uriRepresentation())),
                 qPrintable(logged));
        TBXRunAlertPanel::setPresenter(nullptr);
    }
};

QTEST_GUILESS_MAIN(TestStoreFile)
#include "tst_storefile.moc"
