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
        args.prepend(m_library);
        args.prepend(QStringLiteral("--library"));
        return runCliCaptured(args, out, err);
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
