#include "CliTestSupport.h"
#include "base/PlatformPaths.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"
#include "store/ToManySet.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

// stashly-cli query: the objects of an entity as JSON lines.
class TestStoreCommands : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_package;
    QString m_storeUUID;

    int run(const QStringList &args, QString *out = nullptr, QString *err = nullptr)
    {
        return runCliCaptured(args, out, err);
    }

    static QList<QJsonObject> lines(const QString &out)
    {
        QList<QJsonObject> objects;
        for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            objects.append(QJsonDocument::fromJson(line.toUtf8()).object());
        return objects;
    }

    static void makeLibrary(const QString &package, QString *uuid = nullptr)
    {
        QDir().mkpath(package);
        QString error;
        auto c = ManagedObjectContext::open(QDir(package).filePath(QStringLiteral("sqldata")),
                                            ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        QVERIFY2(c, qPrintable(error));
        for (const char *name : { "Kitchen", "Garage (left)" })
            c->insertNewObject(QStringLiteral("Location"))
                ->set(QStringLiteral("locationName"), QString::fromLatin1(name));
        ManagedObject *record = c->insertNewObject(QStringLiteral("Record"));
        record->set(QStringLiteral("item"), QStringLiteral("Lamp"));
        record->set(QStringLiteral("recordQty"), 2);
        record->set(QStringLiteral("insured"), true);
        record->set(QStringLiteral("purchaseDate"), QDateTime(QDate(2014, 5, 2), QTime(4, 0), QTimeZone::utc()));
        record->set(QStringLiteral("notes"), QByteArray("hi"));
        ManagedObject *field = c->insertNewObject(QStringLiteral("RecordCustomField"));
        field->set(QStringLiteral("cfTextField"), QStringLiteral("brass"));
        record->mutableSetValueForKey(QStringLiteral("customField")).addObject(field);
        QVERIFY(c->save());
        if (uuid)
            *uuid = c->storeUUID();
    }

private slots:
    void initTestCase()
    {
        m_package = m_dir.filePath(QStringLiteral("Test.stashlyd"));
        makeLibrary(m_package, &m_storeUUID);
    }

    void query_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("names"); // locationName or item of each line
        QTest::newRow("every location") << QStringList { "Location" } << QStringList { "Kitchen", "Garage (left)" };
        QTest::newRow("format with a value") << QStringList { "Location", "%K == %@", "locationName", "Garage (left)" }
                                             << QStringList { "Garage (left)" };
        QTest::newRow("text form") << QStringList { "Location", "locationName BEGINSWITH \"K\"" }
                                   << QStringList { "Kitchen" };
        QTest::newRow("whole number") << QStringList { "Record", "recordQty > %d", "1" } << QStringList { "Lamp" };
        QTest::newRow("through a to-many")
            << QStringList { "Record", "ANY customField.cfTextField == %@", "brass" } << QStringList { "Lamp" };
        QTest::newRow("no match") << QStringList { "Record", "recordQty > %d", "5" } << QStringList {};
        QTest::newRow("the notes' plain text")
            << QStringList { "Record", "notesPlainText CONTAINS %@", "hi" } << QStringList { "Lamp" };
        QTest::newRow("typed list argument")
            << QStringList { "Location", "locationName IN %@", "list:Kitchen,Attic" } << QStringList { "Kitchen" };
    }

    void query()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, names);
        QString out, err;
        QCOMPARE(run(QStringList { "--library", m_package, "query" } + args, &out, &err), 0);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QStringList found;
        for (const QJsonObject &o : lines(out))
            found.append(
                o.value(o.contains(QStringLiteral("item")) ? QStringLiteral("item") : QStringLiteral("locationName"))
                    .toString());
        QCOMPARE(found, names);
    }

    void attributesByName()
    {
        QString out;
        QCOMPARE(run({ "--library", m_package, "query", "Record" }, &out), 0);
        const QList<QJsonObject> records = lines(out);
        QCOMPARE(records.size(), 1);
        const QJsonObject r = records.first();
        QCOMPARE(r.value("uri").toString(), QStringLiteral("x-stashly://%1/Record/p1").arg(m_storeUUID));
        QCOMPARE(r.value("entity").toString(), QStringLiteral("Record"));
        QCOMPARE(r.value("recordQty").toInteger(), 2);
        QCOMPARE(r.value("insured").toBool(), true);
        QCOMPARE(r.value("purchaseDate").toString(), QStringLiteral("2014-05-02T04:00:00Z"));
        QCOMPARE(r.value("notes").toString(), QStringLiteral("aGk="));
        QVERIFY(r.value("model").isNull());
        QVERIFY(r.contains(QStringLiteral("catAutoMfgWarranyMiles")) == false);
        QCOMPARE(r.value("customField").toArray().first().toString(),
                 QStringLiteral("x-stashly://%1/RecordCustomField/p1").arg(m_storeUUID));
    }

    void queryNeverWrites()
    {
        const QString file = QDir(m_package).filePath(QStringLiteral("sqldata"));
        auto digest = [&file] {
            QFile f(file);
            f.open(QIODevice::ReadOnly);
            return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
        };
        const QByteArray before = digest();
        QCOMPARE(run({ "--library", m_package, "query", "Location" }), 0);
        QCOMPARE(digest(), before);
    }

    void defaultLibrary()
    {
        makeLibrary(PlatformPaths::defaultLibraryPath());
        QString out;
        QString err;
        QVERIFY2(run({ "query", "Location", "locationName == %@", "Kitchen" }, &out, &err) == 0, qPrintable(err));
        QCOMPARE(lines(out).size(), 1);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("no entity") << QStringList { "query" } << 2 << "Usage";
        QTest::newRow("unknown entity") << QStringList { "query", "Planet" } << 2 << "Unknown entity \"Planet\"";
        QTest::newRow("bad predicate") << QStringList { "query", "Location", "locationName ==" } << 2
                                       << "Bad predicate";
        QTest::newRow("missing argument")
            << QStringList { "query", "Location", "locationName == %@" } << 2 << "Bad predicate";
        QTest::newRow("unreadable typed argument")
            << QStringList { "query", "Location", "%K == %@", "locationName", "int:x" } << 2 << "Cannot read";
        QTest::newRow("misspelt key") << QStringList { "query", "Record", "purchasePrise > %d", "5" } << 2
                                      << "Record has no key \"purchasePrise\"; did you mean \"purchasePrice\"?";
        QTest::newRow("key of another entity")
            << QStringList { "query", "Location", "item == 'Lamp'" } << 2 << "Location has no key \"item\"";
        QTest::newRow("misspelt key after a to-many")
            << QStringList { "query", "Record", "ANY customField.cfTextFeld == %@", "brass" } << 2
            << "RecordCustomField has no key \"cfTextFeld\"";
        QTest::newRow("bad pattern") << QStringList { "query", "Record", "item MATCHES %@", "(Lamp" } << 2
                                     << "The pattern \"(Lamp\" of item MATCHES is not a regular expression";
        QTest::newRow("no store there") << QStringList { "--library", "NOWHERE", "query", "Location" } << 1
                                        << "There is no library at";
    }

    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        if (!args.contains(QStringLiteral("--library")))
            args = QStringList { "--library", m_package } + args;
        args.replaceInStrings(QStringLiteral("NOWHERE"), m_dir.filePath(QStringLiteral("none.stashlyd")));
        QString out, err;
        QCOMPARE(run(args, &out, &err), status);
        QVERIFY2(err.contains(message), qPrintable(err));
        QCOMPARE(err.count(QLatin1Char('\n')), 1);
        QVERIFY(out.isEmpty());
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("none.stashlyd"))));
    }
};

QTEST_GUILESS_MAIN(TestStoreCommands)
#include "tst_storecommands.moc"
