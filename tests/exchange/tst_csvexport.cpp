#include "navigation/NavigationTestSupport.h"

#include "exchange/CSVImportExport.h"
#include "exchange/CSVWriter.h"

#include "core/RecordNotes.h"

#include <QFile>
#include <QFileDevice>
#include <QTemporaryDir>
#include <QTest>

using NavigationTestSupport::TestLibrary;

// The CSV export: quoting, the 16 fields of a record, the file and its name.
class TestCSVExport : public QObject
{
    Q_OBJECT

    const QLocale m_us { QLocale::English, QLocale::UnitedStates };

private slots:
    void quoting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "Kettle"
                               << "Kettle";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("comma") << "Toaster, 2 slot"
                               << "\"Toaster, 2 slot\"";
        QTest::newRow("quote") << "12\" ruler"
                               << "\"12\"\" ruler\"";
        QTest::newRow("line feed") << "a\nb"
                                   << "\"a\nb\"";
        QTest::newRow("carriage return") << "a\rb"
                                         << "\"a\rb\"";
        QTest::newRow("vertical tab") << "a\vb"
                                      << "\"a\vb\"";
        QTest::newRow("form feed") << "a\fb"
                                   << "\"a\fb\"";
        QTest::newRow("next line") << QString("a") + QChar(0x0085) + "b" << QString("\"a") + QChar(0x0085) + "b\"";
        QTest::newRow("line separator") << QString("a") + QChar(0x2028) + "b" << QString("\"a") + QChar(0x2028) + "b\"";
        QTest::newRow("paragraph separator")
            << QString("a") + QChar(0x2029) + "b" << QString("\"a") + QChar(0x2029) + "b\"";
        QTest::newRow("backslash") << "C:\\dir\\"
                                   << "\"C:\\dir\\\"";
        QTest::newRow("tab stays bare") << "a\tb"
                                        << "a\tb";
        QTest::newRow("semicolon stays bare") << "a;b"
                                              << "a;b";
    }
    void quoting()
    {
        QFETCH(QString, text);
        QFETCH(QString, written);
        QCOMPARE(CSVWriter::field(text), written);
        QCOMPARE(CSVWriter::line({ text, QStringLiteral("x") }), written + QStringLiteral(",x\n"));
    }

    void fieldsOfARecord()
    {
        TestLibrary lib;
        ManagedObject *r = lib.record({
            { "category", "Kitchen" },
            { "recordQty", 2 },
            { "item", "Toaster, 2 slot" },
            { "manufacturer", "Tab Maker" },
            { "model", "T\"1" },
            { "serialNumber", "SN-9" },
            { "purchaseDate", QDateTime(QDate(2023, 4, 5), QTime(23, 30)) },
            { "purchasePrice", 1234.5 },
            { "currency", "EUR" },
            { "paymentMethod", "Visa" },
            { "location", "Home" },
            { "condition", 3 },
            { "warrantyLengthNumber", 2 },
            { "warrantyLengthIncrement", "Years" },
            { "xWarrantyLengthNumber", 3 },
            { "replacementCost", 80 },
            { "vendorName", "Shop" },
            { "notes", RecordNotes::fromPlainText("first line\nsecond line") },
        });
        QCOMPARE(CSVImportExport::exportFields(*Record::from(r), m_us),
                 (QStringList { "Kitchen", "2", "Toaster, 2 slot", "Tab Maker", "T\"1", "SN-9", "4/5/23", "$1,234.50",
                                "Visa", "Home", "3", "2 Years", "", "$80.00", "Shop", "first line\nsecond line" }));

        // A record with nothing set (a new one gets today's purchase date): every field empty.
        ManagedObject *bare = lib.record({ { "purchaseDate", QVariant() } });
        QCOMPARE(CSVImportExport::exportFields(*Record::from(bare), m_us), QStringList(16, QString()));

        QCOMPARE(
            CSVImportExport::exportText({ r }, m_us),
            QStringLiteral("Category,Quantity,Item,Manufacturer,Model,Serial Number,Purchase Date,Purchase Price,"
                           "Payment Method,Location,Condition,Warranty Length,Extended Warranty,Replacement Cost,"
                           "Vendor,Notes\n"
                           "Kitchen,2,\"Toaster, 2 slot\",Tab Maker,\"T\"\"1\",SN-9,4/5/23,\"$1,234.50\",Visa,Home,3,"
                           "2 Years,,$80.00,Shop,\"first line\nsecond line\"\n"));
    }

    void path_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "/tmp/out"
                                      << "/tmp/out.csv";
        QTest::newRow("txt") << "/tmp/out.txt"
                             << "/tmp/out.txt.csv";
        QTest::newRow("csv") << "/tmp/out.csv"
                             << "/tmp/out.csv";
        QTest::newRow("upper-case CSV") << "/tmp/out.CSV"
                                        << "/tmp/out.CSV";
        QTest::newRow("csv in a folder name") << "/tmp/a.csv/out"
                                              << "/tmp/a.csv/out.csv";
    }
    void path()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QCOMPARE(CSVImportExport::exportPath(chosen), written);
    }

    void writesTheFile()
    {
        TestLibrary lib;
        ManagedObject *r = lib.record({ { "item", QString("Caf") + QChar(0xE9) }, { "purchaseDate", QVariant() } });
        QTemporaryDir dir;
        QFile old(dir.filePath("out.csv"));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(500, 'x'));
        old.close();

        QString error, written;
        QVERIFY(CSVImportExport::exportRecords(dir.filePath("out"), { r }, m_us, &error, &written));
        QCOMPARE(written, dir.filePath("out.csv"));
        QFile file(written);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF")); // no byte order mark
        QCOMPARE(bytes.split('\n').at(1), QByteArray(",,Caf\xC3\xA9,,,,,,,,,,,,,"));
        QVERIFY(bytes.endsWith('\n'));
        QVERIFY(!bytes.contains('\r'));
        QCOMPARE(bytes.count('\n'), 2); // the old, longer content is gone

        // No record: the header line alone.
        QVERIFY(CSVImportExport::exportRecords(dir.filePath("empty.csv"), {}, m_us));
        QFile empty(dir.filePath("empty.csv"));
        QVERIFY(empty.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(empty.readAll()), CSVWriter::line(CSVImportExport::columnTitles()));
    }

    void failureIsReported_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("missing folder") << "missing/out";
        QTest::newRow("read-only folder") << "locked/out";
    }
    void failureIsReported()
    {
        QFETCH(QString, where);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("locked"));
        QFile::setPermissions(dir.filePath("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        if (where.startsWith("locked") && QFileInfo(dir.filePath("locked")).isWritable())
            QSKIP("running with rights that ignore folder permissions");
        QString error;
        QVERIFY(!CSVImportExport::exportRecords(dir.filePath(where), {}, m_us, &error));
        QVERIFY(error.contains(dir.filePath(where) + ".csv"));
        QVERIFY(!QFile::exists(dir.filePath(where) + ".csv"));
        QFile::setPermissions(dir.filePath("locked"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(TestCSVExport)
#include "tst_csvexport.moc"
