#include "core/AttributeLimits.h"
#include "core/PredicateCheck.h"
#include "core/Record.h"
#include "core/TBXFirstRunSetup.h"
#include "core/WarrantyCalendar.h"
#include "predicate/SearchPredicate.h"
#include "store/ManagedObjectContext.h"
#include "store/Stashly2_DataModel.h"

#include <QTemporaryDir>
#include <QTest>

// The checks of values and predicates a user gives: the table of attribute
// limits and the predicate check over the entity model.
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

    void predicates_data()
    {
        QTest::addColumn<QString>("entity");
        QTest::addColumn<QString>("predicate");
        QTest::addColumn<QString>("problem"); // empty: accepted

        const auto row = [](const char *name, const char *entity, const char *predicate, const char *problem = "") {
            QTest::newRow(name) << QString::fromLatin1(entity) << QString::fromLatin1(predicate)
                                << QString::fromLatin1(problem);
        };
        row("attribute", "Record", "purchasePrice > 5");
        row("misspelt attribute", "Record", "purchasePrise > 5",
            "Record has no key \"purchasePrise\"; did you mean \"purchasePrice\"?");
        row("wrong case", "Record", "PURCHASEPRICE > 5", "did you mean \"purchasePrice\"?");
        row("nothing like it", "Record", "colourOfTheSky == 'blue'", "its keys are recordID, item,");
        row("deep in a compound", "Record", "item == 'a' OR (model == 'b' AND NOT (vendor == 'c'))",
            "Record has no key \"vendor\"");
        row("through a to-many", "Record", "ANY customField.cfTextField == 'brass'");
        row("all of a to-many", "Record", "ALL fileData.fileType == 'pdf'");
        row("misspelt member key", "Record", "customField.cfTextFeld == 'brass'",
            "RecordCustomField has no key \"cfTextFeld\" (in \"customField.cfTextFeld\"); did you mean "
            "\"cfTextField\"?");
        row("member key far off", "Record", "customField.value == 'brass'", "its keys are cfName, cfType, cfTextField");
        row("a to-many itself", "Record", "customField == nil", "\"customField\" is a list of RecordCustomField");
        row("past an attribute", "Record", "item.length > 3", "\"item\" in \"item.length\" is a value of Record");
        row("notes as text", "Record", "notesPlainText CONTAINS[cd] 'battery'");
        row("notes text elsewhere", "PaymentMethod", "notesPlainText CONTAINS 'x'",
            "PaymentMethod has no key \"notesPlainText\"");
        row("coverages of a policy", "InsurancePolicy", "ANY coverage.coverageAmount > 100");
        row("websites of a group", "Group", "website.websiteURL BEGINSWITH 'https'");
        row("pattern", "Record", "item MATCHES '[Ll]amp.*'");
        row("pattern of literal text", "Record", "category MATCHES 'C\\\\+\\\\+'");
        row("broken pattern", "Record", "item MATCHES '(lamp'",
            "The pattern \"(lamp\" of item MATCHES is not a regular expression: missing closing parenthesis");
        row("pattern ending in a backslash", "Record", "model MATCHES[c] 'X\\\\'", "of model MATCHES");
        row("broken pattern deep down", "Record", "item == 'a' AND NOT (tags MATCHES '*')", "of tags MATCHES");
        row("unknown entity", "Planet", "item == 'a'", "There is no entity \"Planet\"");
    }

    void predicates()
    {
        QFETCH(QString, entity);
        QFETCH(QString, predicate);
        QFETCH(QString, problem);
        QString error;
        const std::optional<Predicate> parsed = Predicate::parse(predicate, &error);
        QVERIFY2(parsed, qPrintable(error));
        const QString found = PredicateCheck::problem(*parsed, entity);
        if (problem.isEmpty())
            QVERIFY2(found.isEmpty(), qPrintable(found));
        else
            QVERIFY2(found.contains(problem), qPrintable(found));
    }

    // What the program builds itself must pass: the search over sixteen keys
    // (the notes' plain text among them) and the default smart folders.
    void theProgramsOwnPredicatesPass()
    {
        for (const Predicate &p :
             { SearchPredicate::forSearchText(QStringLiteral("lamp")), TBXFirstRunSetup::warrantyWarningPredicate(),
               TBXFirstRunSetup::warrantyExpiredPredicate() })
            QVERIFY2(PredicateCheck::problem(p, Record::Entity).isEmpty(), qPrintable(p.description()));
    }
};

QTEST_GUILESS_MAIN(TestInputChecks)
#include "tst_inputchecks.moc"
