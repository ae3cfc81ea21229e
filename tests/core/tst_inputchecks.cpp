#include "core/AttributeLimits.h"
#include "core/Record.h"
#include "core/WarrantyCalendar.h"
#include "core/store/ManagedObjectContext.h"
#include "core/store/Stashly2_DataModel.h"

#include <QTemporaryDir>
#include <QTest>

// The checks of values a user gives: the table of attribute limits.
class TestInputChecks : public QObject
{
    Q_OBJECT

private slots:
    void limits_data()
    {
        QTest::addColumn<QString>("entity");
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("problem"); // empty: accepted

        const auto row = [](const char *name, const char *entity, const char *attribute, const QVariant &value,
                            const char *problem = "") {
            QTest::newRow(name) << QString::fromLatin1(entity) << QString::fromLatin1(attribute) << value
                                << QString::fromLatin1(problem);
        };
        row("quantity 0", "Record", "recordQty", 0);
        row("quantity at the top", "Record", "recordQty", AttributeLimits::maximumQuantity);
        row("negative quantity", "Record", "recordQty", -1, "recordQty takes a whole number from 0 to 999999, not -1");
        row("quantity above", "Record", "recordQty", AttributeLimits::maximumQuantity + 1, "from 0 to 999999");
        row("half a quantity", "Record", "recordQty", 2.5, "takes a whole number");
        row("quantity as text", "Record", "recordQty", QStringLiteral("three"), "not \"three\"");
        row("condition 0", "Record", "condition", 0);
        row("condition 5", "Record", "condition", 5);
        row("condition -5", "Record", "condition", -5, "condition takes a whole number from 0 to 5, not -5");
        row("condition 6", "Record", "condition", 6, "from 0 to 5");
        row("no label", "Record", "labelIndex", 0);
        row("last label", "Record", "labelIndex", 7);
        row("label 8", "Record", "labelIndex", 8, "from 0 to 7");
        row("label 999", "Record", "labelIndex", 999, "labelIndex takes a whole number from 0 to 7, not 999");
        row("warranty 9999", "Record", "xWarrantyLengthNumber", 9999);
        row("warranty 10000", "Record", "warrantyLengthNumber", 10000, "from 0 to 9999");
        row("negative warranty", "Record", "xWarrantyLengthNumber", -2, "from 0 to 9999");
        row("level 100", "Record", "warrantyLevel", 100.0);
        row("level with a fraction", "Record", "warrantyLevel", 49.93);
        row("level above", "Record", "warrantyLevel", 100.5, "warrantyLevel takes a number from 0 to 100");
        row("level not a number", "Record", "warrantyLevel", qQNaN(), "from 0 to 100");
        row("increment Bogus", "Record", "warrantyLengthIncrement", QStringLiteral("Bogus"),
            "warrantyLengthIncrement takes one of Days, Weeks, Months, Years, Lifetime, not \"Bogus\"");
        row("increment in lower case", "Record", "xWarrantyLengthIncrement", QStringLiteral("years"), "not \"years\"");
        row("increment Lifetime", "Record", "xWarrantyLengthIncrement", QStringLiteral("Lifetime"));
        row("no increment chosen", "Record", "warrantyLengthIncrement", QString());
        row("missing value", "Record", "condition", QVariant());
        row("unlimited attribute", "Record", "purchasePrice", -12.5);
        row("payment increment", "PaymentMethod", "automaticWarrantyIncrement", QStringLiteral("Decades"),
            "one of Days");
        row("category type", "Category", "categoryType", QStringLiteral("Vehicle"));
        row("unknown category type", "Category", "categoryType", QStringLiteral("Boat"),
            "categoryType takes one of Stuff, Vehicle, Building, Collection");
        row("paid off", "Category", "catLeaseLoanPaid", QStringLiteral("Paid off"));
        row("negative mileage", "Category", "catAutoCurrentMileage", -100, "from 0 to");
        row("custom field kind", "RecordCustomField", "cfType", QStringLiteral("Date Field"), "one of Text Field");
        row("coverage type", "InsuranceCoverage", "coverageType", QStringLiteral("Limit"));
    }

    void limits()
    {
        QFETCH(QString, entity);
        QFETCH(QString, attribute);
        QFETCH(QVariant, value);
        QFETCH(QString, problem);
        const QString found = AttributeLimits::check(entity, attribute, value);
        if (problem.isEmpty())
            QVERIFY2(found.isEmpty(), qPrintable(found));
        else
            QVERIFY2(found.contains(problem), qPrintable(found));
        // Checking several values finds the same.
        QCOMPARE(AttributeLimits::check(
                     entity, QVariantMap { { QStringLiteral("item"), QStringLiteral("Lamp") }, { attribute, value } }),
                 found);
    }

    // A misspelt row would check nothing: every row names an attribute of the
    // model whose type fits the kind of limit.
    void tableFitsTheModel()
    {
        using Type = AttributeDescription::Type;
        const ManagedObjectModel &model = Stashly2_DataModel::model();
        for (const AttributeLimits::Limit &limit : AttributeLimits::table()) {
            const QString name = limit.entity + QLatin1Char('.') + limit.attribute;
            const EntityDescription *entity = model.entity(limit.entity);
            QVERIFY2(entity, qPrintable(name));
            const int index = entity->attributeIndex(limit.attribute);
            QVERIFY2(index >= 0, qPrintable(name));
            const Type type = entity->attributes().at(index).type;
            if (limit.ranged)
                QVERIFY2(type == (limit.wholeNumbers ? Type::Integer : Type::Number) && limit.minimum <= limit.maximum,
                         qPrintable(name));
            else
                QVERIFY2(type == Type::Text && !limit.allowed.isEmpty(), qPrintable(name));
        }
        QCOMPARE(AttributeLimits::find(QStringLiteral("Record"), QStringLiteral("warrantyLengthIncrement"))->allowed,
                 WarrantyCalendar::increments());
    }

    // The limits are for values coming in; a record keeps and computes with
    // whatever a store or an older import gave it.
    void recordsStillTakeAnyStoredValue()
    {
        QTemporaryDir dir;
        Record::registerClass();
        QString error;
        auto context = ManagedObjectContext::open(dir.filePath(QStringLiteral("sqldata")),
                                                  ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        QVERIFY2(context, qPrintable(error));
        Record *record = Record::from(context->insertNewObject(Record::Entity));
        QVERIFY(record->setWarrantyLengthNumber(2));
        QVERIFY(record->setWarrantyLengthIncrement(QStringLiteral("Bogus")));
        QVERIFY(record->setCondition(-5));
        QCOMPARE(record->warrantyLengthIncrement(), QStringLiteral("Bogus"));
        QCOMPARE(record->condition(), -5);
        QCOMPARE(record->expirationDate(), QStringLiteral("0 Days"));
        QCOMPARE(record->warrantyLevel(), 0.0);
    }
};

QTEST_GUILESS_MAIN(TestInputChecks)
#include "tst_inputchecks.moc"
