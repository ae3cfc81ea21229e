#include "predicate/MapKeyValueSource.h"
#include "predicate/SearchPredicate.h"

#include <QTest>

// The library search: sixteen "contains" tests of the text as typed.
class TestSearchPredicate : public QObject
{
    Q_OBJECT

private slots:
    void textForm()
    {
        const QStringList keys { "barcode",       "category",        "currency",       "item",          "location",
                                 "manufacturer",  "model",           "notesPlainText", "paymentMethod", "purchaseDate",
                                 "purchasePrice", "replacementCost", "serialNumber",   "tags",          "vendorName" };
        QStringList terms;
        for (const QString &k : keys)
            terms.append(k + " CONTAINS[cd] \"Lamp 2\"");
        terms.append("ANY customField.cfTextField CONTAINS[cd] \"Lamp 2\"");
        const Predicate p = SearchPredicate::forSearchText(QStringLiteral("Lamp 2"));
        QCOMPARE(p.compoundType(), Predicate::CompoundType::Or);
        QCOMPARE(p.members().size(), 16);
        QCOMPARE(p.description(), terms.join(" OR "));
        QCOMPARE(*Predicate::parse(p.description()), p);
    }

    // Each searched attribute finds the record on its own.
    void finds_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("search");
        QTest::addColumn<bool>("found");
        const QDateTime bought(QDate(2014, 5, 2), QTime(4, 0), Qt::UTC);
        QTest::newRow("barcode") << "barcode" << QVariant("0123456789012") << "4567" << true;
        QTest::newRow("category") << "category" << QVariant("Kitchen") << "kitch" << true;
        QTest::newRow("currency") << "currency" << QVariant("$ - USD") << "usd" << true;
        QTest::newRow("item, accents") << "item" << QVariant(QString::fromUtf8("Crème brûlée torch")) << "BRULEE"
                                       << true;
        QTest::newRow("location") << "location" << QVariant("Garage") << "rag" << true;
        QTest::newRow("manufacturer") << "manufacturer" << QVariant("Acme") << "ACME" << true;
        QTest::newRow("model") << "model" << QVariant("X-200") << "x-2" << true;
        QTest::newRow("notes") << "notesPlainText" << QVariant("Bought at the flea market") << "flea" << true;
        QTest::newRow("payment method") << "paymentMethod" << QVariant("Credit Card") << "credit" << true;
        QTest::newRow("date year") << "purchaseDate" << QVariant(bought) << "2014" << true;
        QTest::newRow("date text") << "purchaseDate" << QVariant(bought) << "2014-05-02 04:00:00 +0000" << true;
        QTest::newRow("date other year") << "purchaseDate" << QVariant(bought) << "2015" << false;
        QTest::newRow("price") << "purchasePrice" << QVariant(1234.5) << "34.5" << true;
        QTest::newRow("whole price") << "purchasePrice" << QVariant(1200.0) << "1200" << true;
        QTest::newRow("no exponent") << "replacementCost" << QVariant(1e21) << "1000000000000000000000" << true;
        QTest::newRow("replacement") << "replacementCost" << QVariant(0.25) << "0.25" << true;
        QTest::newRow("serial") << "serialNumber" << QVariant("SN-77") << "sn-7" << true;
        QTest::newRow("tags") << "tags" << QVariant("office,light") << "e,l" << true;
        QTest::newRow("vendor") << "vendorName" << QVariant("Corner Shop") << "corner" << true;
        QTest::newRow("not searched") << "insurancePolicyName" << QVariant("Lamp Policy") << "lamp" << false;
        QTest::newRow("raw notes not searched") << "notes" << QVariant(QByteArray("flea")) << "flea" << false;
        QTest::newRow("as typed") << "item" << QVariant("Desk Lamp") << "desk lamp " << false;
        QTest::newRow("words not split") << "item" << QVariant("Desk Lamp") << "lamp desk" << false;
    }

    void finds()
    {
        QFETCH(QString, key);
        QFETCH(QVariant, value);
        QFETCH(QString, search);
        QFETCH(bool, found);
        MapKeyValueSource record;
        record.setValue(key, value);
        QCOMPARE(SearchPredicate::forSearchText(search).evaluate(record), found);
    }

    void customFields()
    {
        MapKeyValueSource record({ { "item", "Chair" } });
        record.addRelated("customField", { { "cfName", "Colour" }, { "cfTextField", "Dark oak" } });
        record.addRelated("customField", { { "cfName", "Size" } });
        QVERIFY(SearchPredicate::forSearchText(QStringLiteral("OAK")).evaluate(record));
        QVERIFY(!SearchPredicate::forSearchText(QStringLiteral("Colour")).evaluate(record));
        QVERIFY(!SearchPredicate::forSearchText(QStringLiteral("x")).evaluate(MapKeyValueSource()));
    }
};

QTEST_GUILESS_MAIN(TestSearchPredicate)
#include "tst_searchpredicate.moc"
