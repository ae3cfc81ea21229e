#include "NavigationTestSupport.h"

#include "base/Events.h"
#include "core/WarrantyCalendar.h"
#include "navigation/RecordFormController.h"
#include "navigation/SelectedAssets.h"

#include <QSignalSpy>

using namespace NavigationTestSupport;
using Kind = RecordFormController::Kind;

Q_DECLARE_METATYPE(RecordFormController::Kind)

// The record form without its widget: the fields it shows for the selected
// record, the lists its pop-ups offer, and edits stored through the record's
// setters and saved at once.
class TestRecordForm : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestLibrary> m_lib;
    std::unique_ptr<RecordFormController> m_form;
    Record *m_drill = nullptr;
    ManagedObject *m_hammer = nullptr;
    // The drill's purchase, in local time.
    const QDateTime m_bought { QDate(2019, 3, 1), QTime(14, 30) };

    void select(const QList<ManagedObject *> &records)
    {
        EventBus::instance().post(Events::TBXRecordListSelectionChanged, nullptr,
                                  { { EventKeys::selectedAssets, SelectedAssets::toVariant(records) } });
    }

private slots:
    void init()
    {
        m_lib = std::make_unique<TestLibrary>();
        m_lib->category(QStringLiteral("Tools"));
        m_lib->category(QStringLiteral("garden"));
        m_lib->location(QStringLiteral("Home"));
        m_lib->location(QStringLiteral("Work"));
        m_lib->insert(QStringLiteral("Currency"),
                      { { "currencyName", QStringLiteral("USD") }, { "currencySymbol", QStringLiteral("$") } });
        m_lib->insert(QStringLiteral("Currency"),
                      { { "currencyName", QStringLiteral("EUR") }, { "currencySymbol", QStringLiteral("€") } });
        m_lib->insert(QStringLiteral("Manufacturer"), { { "manufacturerName", QStringLiteral("Makita") } });
        for (const char *policyName : { "Home Policy", "Car Policy" }) {
            ManagedObject *policy = m_lib->insert(QStringLiteral("InsurancePolicy"), { { "policyName", policyName } });
            ManagedObject *coverage
                = m_lib->insert(QStringLiteral("InsuranceCoverage"),
                                { { "coverageName", QStringLiteral("%1 Contents").arg(policyName) } });
            policy->mutableSetValueForKey(QStringLiteral("coverage")).addObject(coverage);
        }
        m_drill = Record::from(m_lib->record({ { "item", QStringLiteral("Drill") },
                                               { "manufacturer", QStringLiteral("Makita") },
                                               { "category", QStringLiteral("Tools") },
                                               { "location", QStringLiteral("Home") },
                                               { "purchaseDate", m_bought.toUTC() },
                                               { "purchasePrice", 1234.5 },
                                               { "currency", QStringLiteral("$ - USD") },
                                               { "recordQty", 3 },
                                               { "condition", 4 },
                                               { "insured", true },
                                               { "insurancePolicyName", QStringLiteral("Home Policy") } }));
        m_hammer = m_lib->record({ { "item", QStringLiteral("Hammer") } });
        m_lib->customField(m_drill, QStringLiteral("18 V"));
        QVERIFY(m_lib->save());
        m_form = std::make_unique<RecordFormController>(m_lib->context.get());
        select({ m_drill, m_hammer });
    }

    void cleanup()
    {
        m_form.reset();
        m_lib.reset();
    }

    void fields_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<bool>("editable");
        QTest::addColumn<QString>("text");
        QTest::newRow("item") << "item" << Kind::Text << true << "Drill";
        QTest::newRow("manufacturer") << "manufacturer" << Kind::Choice << true << "Makita";
        QTest::newRow("model, empty") << "model" << Kind::Text << true << "";
        QTest::newRow("category") << "category" << Kind::Choice << true << "Tools";
        QTest::newRow("location") << "location" << Kind::Choice << true << "Home";
        QTest::newRow("condition") << "condition" << Kind::Level << true << "4";
        QTest::newRow("quantity") << "recordQty" << Kind::Number << true << "3";
        QTest::newRow("price in the number format") << "purchasePrice" << Kind::Number << true << "1,234.50";
        QTest::newRow("no replacement cost") << "replacementCost" << Kind::Number << true << "";
        QTest::newRow("currency") << "currency" << Kind::Choice << true << "$ - USD";
        QTest::newRow("increment") << "warrantyLengthIncrement" << Kind::Choice << true << "";
        QTest::newRow("insured") << "insured" << Kind::Boolean << true << "true";
        QTest::newRow("addon") << "addon" << Kind::Boolean << true << "";
        QTest::newRow("policy") << "insurancePolicyName" << Kind::Choice << true << "Home Policy";
        QTest::newRow("warranty left, derived") << "warrantyLevel" << Kind::Level << false << "0";
        QTest::newRow("date added, derived") << "dateAdded" << Kind::Date << false << "";
    }

    void fields()
    {
        QFETCH(QString, key);
        QFETCH(Kind, kind);
        QFETCH(bool, editable);
        QFETCH(QString, text);

        QCOMPARE(m_form->record(), m_drill);
        QCOMPARE(m_form->selectionCount(), 2);
        const RecordFormController::Field *field = m_form->field(key);
        QVERIFY(field);
        QCOMPARE(field->kind, kind);
        QCOMPARE(field->editable, editable);
        QCOMPARE(field->enabled, editable);
        QCOMPARE(field->text, text);

        // Nothing selected: the fields are read-only and empty.
        select({});
        QVERIFY(!m_form->record());
        QVERIFY(!m_form->field(key)->enabled);
        QVERIFY(m_form->field(key)->text.isEmpty());
    }

    void dateFieldsShowTheChosenFormat()
    {
        const RecordFormController::Field *date = m_form->field(QStringLiteral("purchaseDate"));
        QCOMPARE(date->kind, Kind::Date);
        QCOMPARE(date->value.toDateTime().toLocalTime(), m_bought);
        QCOMPARE(date->text, m_bought.date().toString(m_form->dateFormat()));
    }

    void choices_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("choices");
        QTest::newRow("names sorted regardless of case") << "category" << QStringList { "garden", "Tools" };
        QTest::newRow("locations") << "location" << QStringList { "Home", "Work" };
        QTest::newRow("open list") << "manufacturer" << QStringList { "Makita" };
        QTest::newRow("empty list") << "vendorName" << QStringList {};
        QTest::newRow("currencies in long form") << "currency" << QStringList { "$ - USD", "€ - EUR" };
        QTest::newRow("replacement currencies") << "replacementCurrency" << QStringList { "$ - USD", "€ - EUR" };
        QTest::newRow("increments") << "xWarrantyLengthIncrement" << WarrantyCalendar::increments();
        QTest::newRow("policies") << "insurancePolicyName" << QStringList { "Car Policy", "Home Policy" };
        QTest::newRow("coverages of the record's policy")
            << "insuranceCoverageName" << QStringList { "Home Policy Contents" };
        QTest::newRow("no choices for text") << "item" << QStringList {};
    }

    void choices()
    {
        QFETCH(QString, key);
        QFETCH(QStringList, choices);
        QCOMPARE(m_form->choices(key), choices);
    }

    void referenceListsFollow()
    {
        m_lib->location(QStringLiteral("Attic"));
        EventBus::instance().post(Events::TBXLocationAdded);
        QCOMPARE(m_form->choices(QStringLiteral("location")), (QStringList { "Attic", "Home", "Work" }));
    }

    void apply_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<QVariant>("expected");
        QTest::addColumn<QString>("text");
        QTest::newRow("text") << "model" << QVariant("DF331") << true << QVariant("DF331") << "DF331";
        QTest::newRow("choice") << "location" << QVariant("Work") << true << QVariant("Work") << "Work";
        QTest::newRow("choice of a new name")
            << "manufacturer" << QVariant("Bosch") << true << QVariant("Bosch") << "Bosch";
        QTest::newRow("number") << "recordQty" << QVariant(5) << true << QVariant(5) << "5";
        QTest::newRow("number as typed") << "purchasePrice" << QVariant("2,000.5") << true << QVariant(2000.5)
                                         << "2,000.50";
        QTest::newRow("number, no text clears") << "purchasePrice" << QVariant(" ") << true << QVariant() << "";
        QTest::newRow("number, not a number")
            << "purchasePrice" << QVariant("12abc") << false << QVariant(1234.5) << "1,234.50";
        QTest::newRow("count, not whole") << "recordQty" << QVariant("2.5") << false << QVariant(3) << "3";
        QTest::newRow("count below its limit") << "recordQty" << QVariant(-1) << false << QVariant(3) << "3";
        QTest::newRow("level above its limit") << "condition" << QVariant(9) << false << QVariant(qlonglong(4)) << "4";
        QTest::newRow("increment not in the list")
            << "warrantyLengthIncrement" << QVariant("Fortnights") << false << QVariant() << "";
        QTest::newRow("boolean") << "addon" << QVariant(true) << true << QVariant(true) << "true";
        QTest::newRow("level") << "condition" << QVariant(2) << true << QVariant(2) << "2";
        QTest::newRow("date cleared") << "purchaseDate" << QVariant() << true << QVariant() << "";
        QTest::newRow("same value") << "item" << QVariant("Drill") << false << QVariant("Drill") << "Drill";
        QTest::newRow("derived") << "warrantyLevel" << QVariant(50) << false << QVariant(0.0) << "0";
        QTest::newRow("unknown key") << "photoFrame" << QVariant("x") << false << QVariant() << "";
    }

    void apply()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(bool, stored);
        QFETCH(QVariant, expected);
        QFETCH(QString, text);

        QSignalSpy changed(m_form.get(), &RecordFormController::changed);
        QCOMPARE(m_form->apply(key, value), stored);
        // Stored through the setter and saved at once.
        QCOMPARE(m_drill->valueForKey(key), expected);
        QVERIFY(!m_lib->context->hasChanges());
        if (const RecordFormController::Field *field = m_form->field(key)) {
            QCOMPARE(field->text, text);
            if (stored)
                QVERIFY(!changed.isEmpty());
        }
    }

    void dateKeepsTheTimeOfDay()
    {
        QVERIFY(m_form->apply(QStringLiteral("purchaseDate"), QDate(2020, 5, 17)));
        QCOMPARE(m_drill->purchaseDate().toLocalTime(), QDateTime(QDate(2020, 5, 17), QTime(14, 30)));
        QVERIFY(!m_lib->context->hasChanges());
        // A record without a date gets the start of the day.
        select({ m_hammer });
        QVERIFY(m_form->apply(QStringLiteral("purchaseDate"), QVariant()));
        QVERIFY(m_form->apply(QStringLiteral("purchaseDate"), QDate(2021, 1, 2)));
        QCOMPARE(Record::from(m_hammer)->purchaseDate().toLocalTime(), QDateTime(QDate(2021, 1, 2), QTime(0, 0)));
    }

    void notesAreStoredAsFormattedText()
    {
        QVERIFY(m_form->apply(QStringLiteral("notes"), QByteArray("<p>Keep the <b>receipt</b></p>")));
        QCOMPARE(m_drill->notesPlainText(), QStringLiteral("Keep the receipt"));
        QVERIFY(m_form->field(QStringLiteral("notes"))->text.contains(QStringLiteral("receipt")));
        QVERIFY(!m_lib->context->hasChanges());
    }

    void categoryMovesTheSourceList()
    {
        EventSpy spy({ Events::TBXRefreshRequestOfSourceColumn });
        QVERIFY(m_form->apply(QStringLiteral("category"), QStringLiteral("garden")));
        QCOMPARE(m_drill->category(), QStringLiteral("garden"));
        QCOMPARE(spy.events.size(), 1);
        QCOMPARE(spy.events.first().userInfo.value(EventKeys::method).toString(), QStringLiteral("catPopupCommitted"));
        QCOMPARE(spy.events.first().userInfo.value(EventKeys::newCategory).toString(), QStringLiteral("garden"));
    }

    void recordChangesAreShown()
    {
        // A change made elsewhere is announced by the record (new records hold
        // their events back until released).
        m_drill->setDelayNotification(false);
        m_drill->setModel(QStringLiteral("XR"));
        QCOMPARE(m_form->field(QStringLiteral("model"))->text, QStringLiteral("XR"));
        // A record holding its events back announces nothing; the form's own edit still shows.
        m_drill->setDelayNotification(true);
        QVERIFY(m_form->apply(QStringLiteral("purchasePrice"), 7.0));
        QCOMPARE(m_form->field(QStringLiteral("purchasePrice"))->text, QStringLiteral("7.00"));
        m_drill->setDelayNotification(false);
    }

    void customFieldValues()
    {
        QCOMPARE(m_form->customFieldValues().size(), 1);
        QCOMPARE(m_form->customFieldValues().first().name, QStringLiteral("Custom"));
        QCOMPARE(m_form->customFieldValues().first().value, QStringLiteral("18 V"));
        QVERIFY(m_form->applyCustomFieldValue(0, QStringLiteral("36 V")));
        const auto values = m_drill->valueForKey(QStringLiteral("customField")).toList();
        QCOMPARE(values.first().value<ManagedObject *>()->valueForKey(QStringLiteral("cfTextField")).toString(),
                 QStringLiteral("36 V"));
        QVERIFY(!m_lib->context->hasChanges());
        QVERIFY(!m_form->applyCustomFieldValue(1, QStringLiteral("none")));
    }

    void deletedRecordIsNotEdited()
    {
        m_lib->context->deleteObject(m_drill);
        QVERIFY(!m_form->record());
        QVERIFY(!m_form->apply(QStringLiteral("model"), QStringLiteral("X")));
    }
};

QTEST_GUILESS_MAIN(TestRecordForm)
#include "tst_recordform.moc"
