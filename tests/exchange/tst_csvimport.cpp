#include "navigation/NavigationTestSupport.h"

#include "exchange/CSVImportExport.h"
#include "exchange/NaturalDate.h"

#include "core/RecordNotes.h"
#include "records/RecordController.h"
#include "store/ToManySet.h"
#include "store/UndoManager.h"

#include <QTest>

using NavigationTestSupport::TestLibrary;
using NavigationTestSupport::valuesOf;

// The CSV import: line dictionaries, reading and checking the values, making the records.
class TestCSVImport : public QObject
{
    Q_OBJECT

    const QLocale m_us { QLocale::English, QLocale::UnitedStates };
    const QDate m_today { 2024, 3, 15 };

    std::optional<QList<CSVImportExport::ImportedRecord>> readOne(const QVariantMap &line, QString *error = nullptr)
    {
        return CSVImportExport::readRecords({ line }, { 7 }, QStringLiteral("EUR"), QStringLiteral("Home"), m_us,
                                            m_today, error);
    }

private slots:
    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDate>("date");
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("ISO") << "2010-12-25" << us << QDate(2010, 12, 25);
        QTest::newRow("ISO in a day-first locale") << "2010-02-03" << de << QDate(2010, 2, 3);
        QTest::newRow("US short") << "12/25/10" << us << QDate(2010, 12, 25);
        QTest::newRow("US four-digit year") << "12/25/2010" << us << QDate(2010, 12, 25);
        QTest::newRow("two-digit year before 70") << "1/2/05" << us << QDate(2005, 1, 2);
        QTest::newRow("two-digit year from 70") << "1/2/85" << us << QDate(1985, 1, 2);
        QTest::newRow("day first") << "25.12.10" << de << QDate(2010, 12, 25);
        QTest::newRow("day 25 as a month") << "25/12/2010" << us << QDate();
        QTest::newRow("short month name") << "Dec 25, 2010" << us << QDate(2010, 12, 25);
        QTest::newRow("long month name") << "December 25, 2010" << us << QDate(2010, 12, 25);
        QTest::newRow("day before the month") << "25 December 2010" << us << QDate(2010, 12, 25);
        QTest::newRow("English name in another locale") << "Dec 25, 2010" << de << QDate(2010, 12, 25);
        QTest::newRow("German month name") << "25. Dezember 2010" << de << QDate(2010, 12, 25);
        QTest::newRow("today") << "today" << us << QDate(2024, 3, 15);
        QTest::newRow("Yesterday") << "Yesterday" << us << QDate(2024, 3, 14);
        QTest::newRow("tomorrow") << "tomorrow" << us << QDate(2024, 3, 16);
        QTest::newRow("words") << "last Tuesday at dinner" << us << QDate();
        QTest::newRow("month 13") << "13/1/2010" << us << QDate();
    }
    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QLocale, locale);
        QFETCH(QDate, date);
        QCOMPARE(NaturalDate::read(text, locale, m_today), date);
    }

    void amounts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<double>("amount"); // -1: none
        const QLocale us(QLocale::English, QLocale::UnitedStates);
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("currency style with grouping") << "$1,234.56" << us << 1234.56;
        QTest::newRow("plain") << "12.50" << us << 12.5;
        QTest::newRow("code before") << "USD 80" << us << 80.0;
        QTest::newRow("German currency style") << "1.234,56 €" << de << 1234.56;
        QTest::newRow("spaces between digits") << "1 234.5 kr" << us << 1234.5;
        QTest::newRow("no digits") << "free" << us << -1.0;
        QTest::newRow("zero") << "0" << us << 0.0;
    }
    void amounts()
    {
        QFETCH(QString, text);
        QFETCH(QLocale, locale);
        QFETCH(double, amount);
        QCOMPARE(CSVImportExport::readAmount(text, locale).value_or(-1.0), amount);
    }

    void values_data()
    {
        QTest::addColumn<QVariantMap>("line");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("quantity 0") << QVariantMap { { "Quantity", "0" } } << "recordQty" << QVariant(1);
        QTest::newRow("quantity without digits")
            << QVariantMap { { "Quantity", "many" } } << "recordQty" << QVariant(1);
        QTest::newRow("quantity 3") << QVariantMap { { "Quantity", "3" } } << "recordQty" << QVariant(3);
        QTest::newRow("no quantity") << QVariantMap {} << "recordQty" << QVariant(1);
        QTest::newRow("replacement falls back to the price")
            << QVariantMap { { "Replacement Cost", "0" }, { "Purchase Price", "80" } } << "replacementCost"
            << QVariant(80.0);
        QTest::newRow("replacement of its own")
            << QVariantMap { { "Replacement Cost", "95" }, { "Purchase Price", "80" } } << "replacementCost"
            << QVariant(95.0);
        QTest::newRow("no replacement, no price: none") << QVariantMap {} << "replacementCost" << QVariant();
        QTest::newRow("price of 0 not set")
            << QVariantMap { { "Purchase Price", "0" } } << "purchasePrice" << QVariant();
        QTest::newRow("grouped price") << QVariantMap { { "Purchase Price", "$1,234.56" } } << "purchasePrice"
                                       << QVariant(1234.56);
        QTest::newRow("currency column takes the chosen currency")
            << QVariantMap { { "Purchase Currency", "x" } } << "currency" << QVariant("EUR");
        QTest::newRow("default location") << QVariantMap {} << "location" << QVariant("Home");
        QTest::newRow("own location") << QVariantMap { { "Location", "Attic" } } << "location" << QVariant("Attic");
        QTest::newRow("warranty") << QVariantMap { { "Warranty Length", "2 Years" } } << "warrantyLengthIncrement"
                                  << QVariant("Years");
        QTest::newRow("extended warranty")
            << QVariantMap { { "Extended Warranty", "18 Months" } } << "xWarrantyLengthNumber" << QVariant(18);
        QTest::newRow("date") << QVariantMap { { "Purchase Date", "4/5/23" } } << "purchaseDate"
                              << QVariant(QDateTime(QDate(2023, 4, 5), QTime(12, 0)));
        QTest::newRow("empty item not set") << QVariantMap { { "Item", "" } } << "item" << QVariant();
    }
    void values()
    {
        QFETCH(QVariantMap, line);
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QString error;
        const auto records = readOne(line, &error);
        QVERIFY2(records, qPrintable(error));
        const QVariant read = records->first().values.value(key);
        QCOMPARE(read.isValid(), value.isValid());
        if (value.isValid())
            QCOMPARE(read.toString(), value.toString());
    }

    void refused_data()
    {
        QTest::addColumn<QVariantMap>("line");
        QTest::newRow("date") << QVariantMap { { "Purchase Date", "someday" } };
        QTest::newRow("condition above the stars") << QVariantMap { { "Condition", "9" } };
        QTest::newRow("condition text") << QVariantMap { { "Condition", "good" } };
        QTest::newRow("quantity beyond the limit") << QVariantMap { { "Quantity", "99999999" } };
        QTest::newRow("warranty without increment") << QVariantMap { { "Warranty Length", "2" } };
        QTest::newRow("unknown increment") << QVariantMap { { "Warranty Length", "2 Fortnights" } };
    }
    void refused()
    {
        QFETCH(QVariantMap, line);
        QString error;
        QVERIFY(!readOne(line, &error));
        QVERIFY2(error.startsWith("line 7: "), qPrintable(error));
    }

    void lineDictionaries()
    {
        const QList<QStringList> lines = { { "Name", "Name 2", "Colour", "Extra" }, { "Kettle", "Pot", "red" } };
        // Two columns assigned "Item": the later one wins; a custom field by its header.
        const QStringList keys = { "Item", "Item", "cft-Colour" };
        QCOMPARE(CSVImportExport::lineDictionaries(lines, keys, 1),
                 (QList<QVariantMap> { { { "Item", "Pot" }, { "cft-Colour", "red" } } }));
        // Without skipping the first line the titles make a record too.
        QCOMPARE(CSVImportExport::lineDictionaries(lines, keys, 0).size(), 2);
        QCOMPARE(CSVImportExport::lineDictionaries(lines, keys, 0).first().value("Item"), QVariant("Name 2"));
    }

    void makesRecords()
    {
        TestLibrary lib;
        for (const char *folder : { "Files", "StashInbox", "Temp" })
            QDir(lib.package).mkdir(QLatin1String(folder));
        lib.location("Home");
        UndoManager undo;
        lib.context->setUndoManager(&undo);
        RecordController controller(lib.context.get(), lib.package);
        QString error;
        const auto records = CSVImportExport::readRecords(
            { { { "Item", "Saw" }, { "Category", "Tools (garage)" }, { "Vendor", "Shop" }, { "cft-Colour", "red" } },
              { { "Item", "Drill" },
                { "Category", "Tools (garage)" },
                { "Vendor", "Shop" },
                { "Payment Method", "Cash" } },
              { { "Item", "Lamp" }, { "Manufacturer", "Lux" }, { "Notes", "two\nlines" } } },
            { 2, 3, 4 }, {}, {}, m_us, m_today, &error);
        QVERIFY2(records, qPrintable(error));
        const QList<Record *> made = CSVImportExport::handleMakeRecordsFromCSV(controller, *records, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(made.size(), 3);
        QVERIFY(lib.save());

        auto all = [&](const QString &entity, const QString &key) {
            QStringList v = valuesOf(lib.context->executeFetchRequest({ entity, Predicate(), {}, 0 }), key);
            v.sort();
            return v;
        };
        // Names are matched literally: one category for both lines, one vendor.
        QCOMPARE(all("Category", "categoryName").count("Tools (garage)"), 1);
        QCOMPARE(all("Vendor", "vendorName"), QStringList { "Shop" });
        QCOMPARE(all("PaymentMethod", "methodName"), QStringList { "Cash" });
        QCOMPARE(all("Manufacturer", "manufacturerName"), QStringList { "Lux" });
        QCOMPARE(made.at(0)->category(), QStringLiteral("Tools (garage)"));
        QCOMPARE(made.at(2)->category(), RecordController::unfiledCategoryName);
        QCOMPARE(made.at(2)->notesPlainText(), QStringLiteral("two\nlines"));
        QCOMPARE(all("RecordCustomField", "cfTextField"), QStringList { "red" });
        QCOMPARE(valuesOf(made.at(0)->mutableSetValueForKey("customField").allObjects(), "cfName"),
                 QStringList { "Colour" });

        // One undo step takes the whole import back.
        QVERIFY(undo.canUndo());
        undo.undo();
        QCOMPARE(lib.context->executeFetchRequest({ QStringLiteral("Record"), Predicate(), {}, 0 }).size(), 0);
        lib.context->setUndoManager(nullptr);
    }

    // Record folders cannot be made (Files is a plain file): an error, no record.
    void recordsThatCannotBeMade()
    {
        TestLibrary lib;
        QFile blocker(QDir(lib.package).filePath("Files"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        RecordController controller(lib.context.get(), lib.package);
        QString error;
        const auto records = CSVImportExport::readRecords({ { { "Item", "Saw" } }, { { "Item", "Drill" } } }, { 2, 3 },
                                                          {}, {}, m_us, m_today, &error);
        QVERIFY(records);
        QVERIFY(CSVImportExport::handleMakeRecordsFromCSV(controller, *records, &error).isEmpty());
        QVERIFY(error.contains("nothing was imported"));
        QCOMPARE(lib.context->executeFetchRequest({ QStringLiteral("Record"), Predicate(), {}, 0 }).size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestCSVImport)
#include "tst_csvimport.moc"
