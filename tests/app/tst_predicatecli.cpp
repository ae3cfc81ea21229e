#include "CliTestSupport.h"

#include <QTest>

// stashly-cli predicate: formats filled from the command line.
class TestPredicateCli : public QObject
{
    Q_OBJECT

    int run(const QStringList &args, QString *out = nullptr, QString *err = nullptr)
    {
        return runCliCaptured(args, out, err);
    }

private slots:
    void prints_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("out");
        QTest::newRow("name look-up") << QStringList { "%K == %@", "categoryName", "Tools" }
                                      << "categoryName == \"Tools\"\n";
        QTest::newRow("digits stay text for %@")
            << QStringList { "%K == %@", "model", "2014" } << "model == \"2014\"\n";
        QTest::newRow("digits for %d") << QStringList { "%K == %d", "labelIndex", "3" } << "labelIndex == 3\n";
        QTest::newRow("typed values") << QStringList {
            "%K == %@ OR %K == %@ OR %K == %@ OR %K == %@", "a", "int:4", "b", "num:2.5", "c", "bool:YES", "d", "nil:"
        } << "a == 4 OR b == 2.5 OR c == YES OR d == nil\n";
        QTest::newRow("list") << QStringList { "location IN %@", "list:Home,Work" }
                              << "location IN {\"Home\", \"Work\"}\n";
        QTest::newRow("empty list") << QStringList { "location IN %@", "list:" } << "location IN {}\n";
        QTest::newRow("forced text") << QStringList { "%K == %@", "a", "text:int:4" } << "a == \"int:4\"\n";
        QTest::newRow("text with a colon")
            << QStringList { "%K == %@", "a", "Tools: garden" } << "a == \"Tools: garden\"\n";
        QTest::newRow("date") << QStringList { "%K < %@", "purchaseDate", "date:2014-05-02T04:00:00Z" }
                              << "purchaseDate < CAST(\"2014-05-02T04:00:00.000Z\", \"Date\")\n";
        QTest::newRow("text form alone") << QStringList { "((warrantyLevel > 1) AND (warrantyLevel < 31))" }
                                         << "warrantyLevel > 1 AND warrantyLevel < 31\n";
        QTest::newRow("stored form") << QStringList { "--data", "a == 1" }
                                     << "a == 1\n01430000000161030100000000000000\n";
    }

    void prints()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, out);
        QString o, e;
        QCOMPARE(run(QStringList { "predicate" } + args, &o, &e), 0);
        QCOMPARE(o, out);
        QVERIFY(e.isEmpty());
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << QStringList {} << "Usage";
        QTest::newRow("malformed") << QStringList { "a ==" } << "Expected a value";
        QTest::newRow("missing argument") << QStringList { "%K == %@", "a" } << "Missing argument";
        QTest::newRow("bad number") << QStringList { "%K == %@", "a", "int:x" } << "Cannot read";
        QTest::newRow("text for %d") << QStringList { "%K == %d", "a", "x" } << "does not fit";
    }

    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QString o, e;
        QCOMPARE(run(QStringList { "predicate" } + args, &o, &e), 2);
        QVERIFY2(e.contains(message), qPrintable(e));
    }

    void help()
    {
        QString o, e;
        QCOMPARE(run({ "predicate", "--help" }, &o, &e), 0);
        QVERIFY(o.contains("list:Home,Work"));
        QCOMPARE(run({ "--help" }, &o, &e), 0);
        QVERIFY(o.contains("predicate [--data] FORMAT [ARG ...]"));
    }
};

QTEST_GUILESS_MAIN(TestPredicateCli)
#include "tst_predicatecli.moc"
