#include "app/CliTestSupport.h"

#include "base/Settings.h"
#include "exchange/CSVImportExport.h"
#include "exchange/CSVWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// stashly-cli export-csv: the records of a row and search, in the list's order.
class TestCsvCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_library;

    int run(QStringList args, QString *out = nullptr, QString *err = nullptr)
    {
        return runCliOn(m_library, args, out, err);
    }

    QStringList lines(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList all = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        all.removeLast(); // after the last line feed
        return all;
    }

private slots:
    void initTestCase()
    {
        Settings::setFilePath(m_dir.filePath(QStringLiteral("settings.ini")));
        m_library = m_dir.filePath(QStringLiteral("Test.stashlyd"));
        const QList<QStringList> records = {
            { "--category", "Kitchen", "item=kettle", "location=Home" },
            { "--category", "Tools", "item=Drill", "location=Work" },
            { "--category", "Kitchen", "item=Toaster, 2 slot", "location=Work" },
        };
        for (const QStringList &r : records) {
            QString err;
            QVERIFY2(run(QStringList { "add" } + r, nullptr, &err) == 0, qPrintable(err));
        }
    }

    void exportsTheListedRecords_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("all") << QStringList {} << QStringList { "Drill", "kettle", "\"Toaster, 2 slot\"" };
        QTest::newRow("category") << QStringList { "--category", "Kitchen" }
                                  << QStringList { "kettle", "\"Toaster, 2 slot\"" };
        QTest::newRow("search") << QStringList { "--search", "toaster" } << QStringList { "\"Toaster, 2 slot\"" };
        QTest::newRow("nothing found") << QStringList { "--search", "zzz" } << QStringList {};
    }
    void exportsTheListedRecords()
    {
        QFETCH(QStringList, args);
        QFETCH(QStringList, items);
        const QString path = m_dir.filePath(QStringLiteral("out"));
        QString out, err;
        QCOMPARE(run(QStringList { "export-csv", path } + args, &out, &err), 0);
        QCOMPARE(out, path + ".csv\n");
        const QStringList written = lines(path + ".csv");
        QCOMPARE(written.value(0) + '\n', CSVWriter::line(CSVImportExport::columnTitles()));
        QStringList found;
        for (const QString &line : written.mid(1))
            found.append(line.section(QLatin1Char(','), 2, -1).startsWith('"') ? line.section(QLatin1Char(','), 2, 3)
                                                                               : line.section(QLatin1Char(','), 2, 2));
        QCOMPARE(found, items);
    }

    // Export, import into a new library, export again: the same lines.
    void roundTrip()
    {
        const QString source = m_dir.filePath("RoundTrip.stashlyd");
        const QString copy = m_dir.filePath("Copy.stashlyd");
        const QList<QStringList> records = {
            { "item=Mixer, large", "manufacturer=Mix Co", "model=M\"2", "purchasePrice=1234.5", "paymentMethod=Visa",
              "location=Home", "condition=4", "warrantyLengthNumber=2", "warrantyLengthIncrement=Years",
              "xWarrantyLengthNumber=6", "xWarrantyLengthIncrement=Months", "replacementCost=99", "vendorName=Shop",
              "purchaseDate=2023-04-05", "recordQty=3",
              "notes=first, line\nsecond \"line\" in C:\\dir\\ \\\"quoted\\\"", "serialNumber=A\\B\\" },
            { "--category", "Kitchen", "item=Kettle", "location=Work", "purchaseDate=1999-12-31" },
        };
        for (const QStringList &r : records) {
            QString err;
            QVERIFY2(runCliCaptured(QStringList { "--library", source, "add" } + r, nullptr, &err) == 0,
                     qPrintable(err));
        }
        QString out, err;
        QVERIFY2(runCliCaptured({ "--library", source, "export-csv", m_dir.filePath("first.csv") }, &out, &err) == 0,
                 qPrintable(err));
        QVERIFY2(runCliCaptured({ "--library", copy, "import-csv", m_dir.filePath("first.csv") }, &out, &err) == 0,
                 qPrintable(err));
        QCOMPARE(out, QStringLiteral("2\n"));
        QVERIFY2(runCliCaptured({ "--library", copy, "export-csv", m_dir.filePath("second.csv") }, &out, &err) == 0,
                 qPrintable(err));
        QStringList first = lines(m_dir.filePath("first.csv"));
        QStringList second = lines(m_dir.filePath("second.csv"));
        QCOMPARE(first.size(), 4); // the title line, the mixer's two lines of notes, the kettle
        first.sort();
        second.sort();
        QCOMPARE(second, first);
    }

    // A sheet saved by a spreadsheet program: byte order mark, CRLF, quoted line breaks.
    void spreadsheetFile()
    {
        const QString library = m_dir.filePath("Sheet.stashlyd");
        const QString file = QStringLiteral(STASHLY_TEST_DATA "/exchange/spreadsheet.csv");
        QString out, err;
        QVERIFY2(runCliCaptured({ "--library", library, "add", "item=Seed" }, &out, &err) == 0, qPrintable(err));
        QVERIFY2(runCliCaptured({ "--library", library, "import-csv", file, "--dry-run" }, &out, &err) == 0,
                 qPrintable(err));
        QVERIFY2(out.endsWith("\n2\n"), qPrintable(out));
        QVERIFY(out.contains("purchasePrice=1234.56"));
        QVERIFY(out.contains("notes=first\\nsecond"));
        QVERIFY2(runCliCaptured({ "--library", library, "list" }, &out, &err) == 0, qPrintable(err));
        QCOMPARE(out.count('\n'), 2); // the title line and the seed: the dry run made nothing

        QVERIFY2(runCliCaptured({ "--library", library, "import-csv", file, "--map", "Item=item,3=notes" }, &out, &err)
                     == 0,
                 qPrintable(err));
        QCOMPARE(out, QStringLiteral("2\n"));
        QVERIFY2(runCliCaptured({ "--library", library, "list", "--format", "json", "--search", "Kettle" }, &out, &err)
                     == 0,
                 qPrintable(err));
        QVERIFY2(out.contains("first\\nsecond"), qPrintable(out));
        QVERIFY(!out.contains("1234")); // Purchase Price was not mapped
    }

    void malformedFileImportsNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("where");
        QTest::newRow("quote not closed") << QByteArray("Item,Notes\nA,x\nB,\"open\n") << ":3:";
        QTest::newRow("bad date on the third record")
            << QByteArray("Item,Purchase Date\nA,2020-01-01\n\"B\ntwo\",2020-01-02\nC,someday\n") << ": line 5:";
        QTest::newRow("condition out of range") << QByteArray("Item,Condition\nA,3\nB,7\n") << ": line 3:";
    }
    void malformedFileImportsNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, where);
        const QString library = m_dir.filePath("Bad.stashlyd");
        const QString file = m_dir.filePath("bad.csv");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        QString out, err;
        QCOMPARE(runCliCaptured({ "--library", library, "import-csv", file }, &out, &err), 2);
        QVERIFY2(err.startsWith(file + where), qPrintable(err));
        QVERIFY(out.isEmpty());
        runCliCaptured({ "--library", library, "list" }, &out, &err);
        QVERIFY(out.count('\n') <= 1);
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no file") << QStringList { "export-csv" } << 2;
        QTest::newRow("option for a file") << QStringList { "export-csv", "--search", "x" } << 2;
        QTest::newRow("both rows") << QStringList { "export-csv", "f", "--category", "Kitchen", "--smart-folder", "S" }
                                   << 2;
        QTest::newRow("unknown option") << QStringList { "export-csv", "f", "--location", "Home" } << 2;
        QTest::newRow("unknown category") << QStringList { "export-csv", "f", "--category", "Garden" } << 1;
        QTest::newRow("unwritable") << QStringList { "export-csv", "/nonexistent-folder/out" } << 1;
    }
    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        if (args.size() > 1 && args.at(1) == "f")
            args[1] = m_dir.filePath("f");
        QString out, err;
        QCOMPARE(run(args, &out, &err), status);
        QVERIFY(out.isEmpty());
        QCOMPARE(err.count(QLatin1Char('\n')), 1);
        QVERIFY(!QFile::exists(m_dir.filePath("f.csv")));
    }
};

QTEST_GUILESS_MAIN(TestCsvCli)
#include "tst_csvcli.moc"
