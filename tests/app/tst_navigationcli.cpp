#include "CliTestSupport.h"

#include "base/Settings.h"
#include "core/Record.h"
#include "navigation/LocationBarController.h"
#include "navigation/NavigationControllers.h"
#include "navigation/SearchFieldController.h"
#include "navigation/SourceListController.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"
#include "store/ManagedObjectContext.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

// stashly-cli list and smart-folder: the records the views show, in the list's order.
class TestNavigationCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_library;

    int run(QStringList args, QString *out = nullptr, QString *err = nullptr)
    {
        return runCliOn(m_library, args, out, err);
    }

    QStringList column(const QString &tsv, int index = 0)
    {
        QStringList values;
        const QStringList lines = tsv.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString &line : lines.mid(1))
            values.append(line.split(QLatin1Char('\t')).value(index));
        return values;
    }

    // What the window shows for the same choice, as record numbers in list order.
    QStringList shownByTheViews(const QString &row, const QString &search, const QStringList &locations)
    {
        Record::registerClass();
        QString error;
        auto context = ManagedObjectContext::open(m_library + QStringLiteral("/sqldata"),
                                                  ManagedObjectContext::OpenMode::ReadOnly, &error);
        if (!context)
            qFatal("%s", qPrintable(error));
        NavigationControllers nav(context.get());
        nav.start(0);
        while (nav.sourceList().currentRowName() != QLatin1String("All Records"))
            QCoreApplication::processEvents();
        nav.sourceList().selectRow(int(nav.sourceList().visibleRowNames().indexOf(row)));
        for (const LocationBarController::Item &item : nav.locationBar().groups().at(1).items)
            if (locations.contains(item.title))
                nav.locationBar().setItemOn(item.identifier, true);
        nav.searchField().searchFieldSearch(search);
        nav.flushPendingRefreshes();
        QStringList ids;
        for (ManagedObject *r : VisibleAssetController::sharedManager().recordArrayController().arrangedObjects())
            ids.append(Record::from(r)->recordIDText());
        return ids;
    }

private slots:
    void initTestCase()
    {
        Settings::setFilePath(m_dir.filePath(QStringLiteral("settings.ini")));
        m_library = m_dir.filePath(QStringLiteral("Test.stashlyd"));
        const QList<QStringList> records = {
            { "--category", "Kitchen", "item=kettle", "location=Home", "model=K1" },
            { "--category", "Tools", "item=Drill", "location=Work", "notes=needs a new battery" },
            { "--category", "Kitchen", "item=Toaster, 2 slot", "location=Work", "manufacturer=Tab\tMaker" },
            // About a sixth of a year's warranty left: in "Warranty Warning".
            { "--category", "Tools", "item=Anvil", "location=Home", "warrantyLengthNumber=1",
              "warrantyLengthIncrement=Years",
              "purchaseDate=" + QDate::currentDate().addDays(-300).toString(Qt::ISODate) },
            { "--category", "Toys", "item=Ball \"red\"", "location=Home" },
        };
        for (const QStringList &r : records) {
            QString err;
            QVERIFY2(run(QStringList { "add" } + r, nullptr, &err) == 0, qPrintable(err));
        }
    }

    void sameAsTheViews_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("search");
        QTest::addColumn<QStringList>("locations");
        QTest::addColumn<int>("count");

        QTest::newRow("all records") << QStringList() << "All Records"
                                     << "" << QStringList() << 5;
        QTest::newRow("a category") << QStringList { "--category", "Kitchen" } << "Kitchen"
                                    << "" << QStringList() << 2;
        QTest::newRow("a smart folder") << QStringList { "--smart-folder", "Warranty Warning" } << "Warranty Warning"
                                        << "" << QStringList() << 1;
        QTest::newRow("a search in the notes") << QStringList { "--search", "BATTERY" } << "All Records"
                                               << "BATTERY" << QStringList() << 1;
        QTest::newRow("one location") << QStringList { "--location", "Home" } << "All Records"
                                      << "" << QStringList { "Home" } << 3;
        QTest::newRow("category, search and locations")
            << QStringList { "--category", "Tools", "--search", "a", "--location", "Home", "--location", "Work" }
            << "Tools"
            << "a" << QStringList { "Home", "Work" } << 2;
        QTest::newRow("nothing matches") << QStringList { "--category", "Toys", "--location", "Work" } << "Toys"
                                         << "" << QStringList { "Work" } << 0;
    }

    void sameAsTheViews()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, row);
        QFETCH(QString, search);
        QFETCH(QStringList, locations);
        QFETCH(int, count);
        QString out, err;
        QCOMPARE(run(QStringList { "list" } + args, &out, &err), 0);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        const QStringList ids = column(out);
        QCOMPARE(ids.size(), count);
        QCOMPARE(ids, shownByTheViews(row, search, locations));
    }

    void formats()
    {
        QString tsv, csv, json;
        QCOMPARE(run({ "list", "--category", "Kitchen" }, &tsv), 0);
        QCOMPARE(tsv.section('\n', 0, 0),
                 QStringLiteral("recordID\titem\tmanufacturer\tmodel\tcategory\tlocation\t"
                                "purchaseDate\twarrantyLevel\texpirationDate"));
        // In the list's order: by item, ignoring case.
        QCOMPARE(column(tsv, 1), (QStringList { "kettle", "Toaster, 2 slot" }));
        QCOMPARE(column(tsv, 2), (QStringList { "", "Tab\\tMaker" }));
        QVERIFY(QDateTime::fromString(column(tsv, 6).first(), Qt::ISODateWithMs).isValid());

        QCOMPARE(run({ "list", "--category", "Kitchen", "--format", "csv" }, &csv), 0);
        QCOMPARE(csv.section('\n', 0, 0),
                 QStringLiteral("recordID,item,manufacturer,model,category,location,"
                                "purchaseDate,warrantyLevel,expirationDate"));
        QVERIFY(csv.section('\n', 2, 2).contains(QStringLiteral(",\"Toaster, 2 slot\",")));
        QString toys;
        QCOMPARE(run({ "list", "--category", "Toys", "--format", "csv" }, &toys), 0);
        QVERIFY(toys.contains(QStringLiteral("\"Ball \"\"red\"\"\"")));

        // JSON: one object per line, as show prints the record.
        QCOMPARE(run({ "list", "--format", "json", "--search", "kettle" }, &json), 0);
        const QStringList lines = json.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1);
        const QJsonObject listed = QJsonDocument::fromJson(lines.first().toUtf8()).object();
        QString shown;
        QCOMPARE(run({ "show", column(tsv).first() }, &shown), 0);
        QCOMPARE(listed, QJsonDocument::fromJson(shown.toUtf8()).object());
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("row and folder") << QStringList { "list", "--category", "Toys", "--smart-folder",
                                                         "Warranty Warning" }
                                        << 2 << "Usage";
        QTest::newRow("unknown format") << QStringList { "list", "--format", "xml" } << 2 << "Usage";
        QTest::newRow("missing value") << QStringList { "list", "--search" } << 2 << "Usage";
        QTest::newRow("unknown category")
            << QStringList { "list", "--category", "Nope" } << 1 << "No category named \"Nope\"";
        QTest::newRow("unknown folder") << QStringList { "list", "--smart-folder", "Nope" } << 1
                                        << "No smart folder named";
        QTest::newRow("unknown location")
            << QStringList { "list", "--location", "Mars" } << 1 << "No location named \"Mars\"";
        QTest::newRow("bad rules") << QStringList { "smart-folder", "add", "X", "item ==" } << 2 << "Bad rules";
        QTest::newRow("misspelt key") << QStringList { "smart-folder", "add", "Dear", "purchasePrise > 5" } << 2
                                      << "Bad rules \"purchasePrise > 5\": Record has no key \"purchasePrise\"; "
                                         "did you mean \"purchasePrice\"?";
        QTest::newRow("misspelt key among good rules")
            << QStringList { "smart-folder", "add", "Dear", "item CONTAINS 'a' OR (location == 'Home' AND pric > 5)" }
            << 2 << "Record has no key \"pric\"";
        QTest::newRow("bad pattern") << QStringList { "smart-folder", "add", "Drills", "item MATCHES '[Dd]rill('" } << 2
                                     << "The pattern \"[Dd]rill(\" of item MATCHES is not a regular expression";
        QTest::newRow("empty name") << QStringList { "smart-folder", "add", "", "item CONTAINS 'a'" } << 2
                                    << "A smart folder needs a name";
        QTest::newRow("blank name") << QStringList { "smart-folder", "add", " \t ", "item CONTAINS 'a'" } << 2
                                    << "A smart folder needs a name";
        QTest::newRow("no such folder") << QStringList { "smart-folder", "remove", "Nope" } << 1 << "No smart folder";
        QTest::newRow("no action") << QStringList { "smart-folder" } << 2 << "Usage";
    }

    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QString before, out, err;
        QCOMPARE(run({ "smart-folder", "list" }, &before), 0);
        QCOMPARE(run(args, &out, &err), status);
        QVERIFY2(err.contains(message), qPrintable(err));
        QCOMPARE(err.count(QLatin1Char('\n')), 1);
        QVERIFY(out.isEmpty());
        QString after;
        QCOMPARE(run({ "smart-folder", "list" }, &after), 0);
        QCOMPARE(after, before); // nothing changed
    }

    void smartFolders()
    {
        QString out, err;
        QCOMPARE(run({ "smart-folder", "add", "Home things", "location == \"Home\"" }, &out), 0);
        QCOMPARE(out, QStringLiteral("Home things\n"));
        QCOMPARE(run({ "smart-folder", "add", "Home things", "location == 'Home' AND labelIndex == '0'" }, &out), 0);
        QCOMPARE(out, QStringLiteral("Home things 1\n"));
        QCOMPARE(run({ "smart-folder", "list" }, &out), 0);
        QCOMPARE(column(out), (QStringList { "Warranty Warning", "Warranty Expired", "Home things", "Home things 1" }));
        QCOMPARE(column(out, 1).at(2), QStringLiteral("3"));
        QCOMPARE(run({ "list", "--smart-folder", "Home things" }, &out), 0);
        QCOMPARE(column(out), shownByTheViews("Home things", "", {}));
        for (const char *name : { "Home things", "Home things 1", "Warranty Warning" })
            QCOMPARE(run({ "smart-folder", "remove", name }), 0);
        // The last folder stays.
        QCOMPARE(run({ "smart-folder", "remove", "Warranty Expired" }, &out, &err), 1);
        QVERIFY(err.contains(QStringLiteral("You must have at least one Smart Folder")));
        QCOMPARE(run({ "smart-folder", "list" }, &out), 0);
        QCOMPARE(column(out), QStringList { "Warranty Expired" });
    }
};

QTEST_MAIN(TestNavigationCli)
#include "tst_navigationcli.moc"
