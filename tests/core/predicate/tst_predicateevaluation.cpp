#include "predicate/MapKeyValueSource.h"
#include "predicate/Predicate.h"

#include <QTest>

// An object that keeps some values in slots of a layout, as store objects may.
class SlotObject : public KeyValueSource
{
public:
    SlotObject(quint32 layout, const QStringList &slotKeys, const QVariantList &values, const QVariantMap &others = {})
        : m_layout(layout)
        , m_slotKeys(slotKeys)
        , m_values(values)
        , m_others(others)
    {
    }
    QVariant valueForKey(const QString &key) const override
    {
        const qsizetype slot = m_slotKeys.indexOf(key);
        return slot >= 0 ? m_values.value(slot) : m_others.value(key);
    }
    quint32 layoutId() const override { return m_layout; }
    int slotForKey(const QString &key) const override { return int(m_slotKeys.indexOf(key)); }
    const QVariant *valueInSlot(int slot) const override { return slot < m_values.size() ? &m_values[slot] : nullptr; }

private:
    quint32 m_layout;
    QStringList m_slotKeys;
    QVariantList m_values;
    QVariantMap m_others;
};

// Evaluation of comparisons and compounds against objects shaped like records.
class TestPredicateEvaluation : public QObject
{
    Q_OBJECT

    static MapKeyValueSource record(const QString &name)
    {
        MapKeyValueSource r;
        if (name == QLatin1String("lamp")) {
            r = MapKeyValueSource({ { "item", "Desk Lamp" },
                                    { "manufacturer", QString::fromUtf8("Ikéa") },
                                    { "location", "Home" },
                                    { "labelIndex", 3 },
                                    { "warrantyLevel", 20.5f },
                                    { "purchasePrice", 19.99 },
                                    { "replacementCost", 25.0 },
                                    { "purchaseDate", QDateTime(QDate(2014, 5, 2), QTime(4, 0), Qt::UTC) },
                                    { "tags", "office,light" },
                                    { "insured", true },
                                    { "recordQty", qint64(2) },
                                    { "notesPlainText", "Bought at the flea market" } });
            r.addRelated("customField", { { "cfTextField", "Serial ABC" } });
            r.addRelated("customField", { { "cfTextField", "Blue" } });
        } else if (name == QLatin1String("expired")) {
            r = MapKeyValueSource(
                { { "item", "TV" }, { "warrantyLevel", 0.0 }, { "location", "Work" }, { "labelIndex", 0 } });
            r.addRelated("customField", { { "cfName", "Custom" } }); // a field without a value
        } else if (name == QLatin1String("newyear")) {
            // Bought at local midnight on 1 January, one hour east of UTC.
            r = MapKeyValueSource(
                { { "item", QString::fromUtf8("Chaise d'été") },
                  { "purchaseDate", QDateTime(QDate(2015, 1, 1), QTime(0, 0), Qt::OffsetFromUTC, 3600) } });
        } else if (name == QLatin1String("tools")) {
            r = MapKeyValueSource(
                { { "item", "C++ Primer" }, { "category", "Tools (garage)" }, { "location", "Garage" } });
        } else {
            r = MapKeyValueSource({ { "item", "Chair" } });
        }
        return r;
    }

private slots:
    void evaluate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("object");
        QTest::addColumn<bool>("expected");
        auto row = [](const char *text, const char *object, bool expected) {
            QTest::addRow("%s | %s", text, object)
                << QString::fromUtf8(text) << QString::fromLatin1(object) << expected;
        };
        // Texts and their options.
        row("item CONTAINS[cd] 'lamp'", "lamp", true);
        row("item CONTAINS 'lamp'", "lamp", false);
        row("item CONTAINS[cd] 'lamp'", "bare", false);
        row("manufacturer ==[d] 'Ikea'", "lamp", true);
        row("manufacturer == 'Ikea'", "lamp", false);
        row("manufacturer CONTAINS[cd] 'IKEA'", "lamp", true);
        row("manufacturer CONTAINS[c] 'IKEA'", "lamp", false);
        row("item CONTAINS[cd] 'ÉTÉ'", "newyear", true);
        row("item BEGINSWITH 'Desk'", "lamp", true);
        row("item ENDSWITH[c] 'LAMP'", "lamp", true);
        row("item ENDSWITH 'Desk'", "lamp", false);
        row("item CONTAINS ''", "lamp", true);
        row("vendorName CONTAINS ''", "lamp", false);
        row("item > 'Chair' AND item < 'Dog'", "lamp", true);
        // Whole-text patterns.
        row("item MATCHES 'Desk.*'", "lamp", true);
        row("item MATCHES 'Desk'", "lamp", false);
        row("item MATCHES[c] 'desk lamp'", "lamp", true);
        row("item MATCHES[cd] 'DESK L.MP'", "lamp", true);
        row("item MATCHES '['", "lamp", false);
        row("category MATCHES 'Tools \\\\(garage\\\\)'", "tools", true);
        row("category MATCHES 'Tools (garage)'", "tools", false);
        row("item MATCHES 'C\\\\+\\\\+ Primer'", "tools", true);
        // Lists.
        row("location IN {'Home', 'Work'}", "lamp", true);
        row("location IN {'Home', 'Work'}", "expired", true);
        row("location IN {'Home', 'Work'}", "tools", false);
        row("location IN {'Home', 'Work'}", "bare", false);
        row("location IN {}", "lamp", false);
        row("location IN[c] {'home'}", "lamp", true);
        // Numbers, labels stored as text, booleans.
        row("warrantyLevel > 1 AND warrantyLevel < 31", "lamp", true);
        row("warrantyLevel > 1 AND warrantyLevel < 31", "expired", false);
        row("warrantyLevel > 1 AND warrantyLevel < 31", "bare", false);
        row("warrantyLevel == 0 OR warrantyLevel == nil", "expired", true);
        row("warrantyLevel == 0 OR warrantyLevel == nil", "bare", true);
        row("warrantyLevel == 0 OR warrantyLevel == nil", "lamp", false);
        row("warrantyLevel == 20.5", "lamp", true);
        row("labelIndex == '3'", "lamp", true);
        row("labelIndex == 3", "lamp", true);
        row("labelIndex > '2'", "lamp", true);
        row("labelIndex == 'x'", "lamp", false);
        row("recordQty == 2.0", "lamp", true);
        row("purchasePrice < 20 AND purchasePrice >= 19.99", "lamp", true);
        row("purchasePrice <= 19.98", "lamp", false);
        row("insured == YES", "lamp", true);
        row("insured == 1", "lamp", true);
        row("insured == NO", "lamp", false);
        row("item == 5", "lamp", false);
        row("item < 5", "lamp", false);
        // Missing values.
        row("vendorName == nil", "bare", true);
        row("item != nil", "bare", true);
        row("vendorName != 'x'", "bare", true);
        row("vendorName < 'x'", "bare", false);
        row("vendorName IN {'x'}", "bare", false);
        // Text forms of dates and numbers.
        row("purchaseDate CONTAINS '2014'", "lamp", true);
        row("purchaseDate CONTAINS '2014-05-02 04:00:00 +0000'", "lamp", true);
        row("purchaseDate CONTAINS '2014'", "newyear", true);
        row("purchaseDate CONTAINS '2015'", "newyear", false);
        row("purchaseDate BEGINSWITH '2014-12-31 23:00'", "newyear", true);
        row("purchasePrice CONTAINS '19.99'", "lamp", true);
        row("purchasePrice CONTAINS '19.990'", "lamp", false);
        row("replacementCost CONTAINS '25'", "lamp", true);
        row("replacementCost CONTAINS '25.0'", "lamp", false);
        row("purchasePrice CONTAINS 'lamp'", "lamp", false);
        row("recordQty CONTAINS '2'", "lamp", true);
        row("purchasePrice MATCHES '19\\\\.9+'", "lamp", true);
        row("purchaseDate < CAST('2015-01-01T00:00:00.000Z', 'Date')", "lamp", true);
        row("purchaseDate < CAST('2015-01-01T00:00:00.000Z', 'Date')", "bare", false);
        // To-many key paths.
        row("ANY customField.cfTextField CONTAINS[cd] 'blue'", "lamp", true);
        row("customField.cfTextField == 'Blue'", "lamp", true);
        row("ANY customField.cfTextField CONTAINS[cd] 'blue'", "expired", false);
        row("ANY customField.cfTextField CONTAINS[cd] 'blue'", "bare", false);
        row("ALL customField.cfTextField BEGINSWITH 'S'", "lamp", false);
        row("ALL customField.cfTextField != nil", "lamp", true);
        row("NONE customField.cfTextField == 'Red'", "lamp", true);
        row("NONE customField.cfTextField == 'Blue'", "lamp", false);
        row("ANY customField.cfTextField == nil", "expired", true);
        // Compounds.
        row("NOT item == 'Chair'", "bare", false);
        row("NOT item == 'Chair'", "lamp", true);
        row("item == 'x' OR (location == 'Home' AND NOT labelIndex == 1)", "lamp", true);
        row("TRUEPREDICATE", "bare", true);
        row("FALSEPREDICATE", "bare", false);
        row("notesPlainText CONTAINS[cd] 'FLEA'", "lamp", true);
        row("tags CONTAINS 'light'", "lamp", true);
    }

    void evaluate()
    {
        QFETCH(QString, text);
        QFETCH(QString, object);
        QFETCH(bool, expected);
        QString error;
        const std::optional<Predicate> p = Predicate::parse(text, &error);
        QVERIFY2(p, qPrintable(error));
        QCOMPARE(p->evaluate(record(object)), expected);
        // The text form and the stored form evaluate alike.
        QCOMPARE(Predicate::parse(p->description())->evaluate(record(object)), expected);
        QCOMPARE(Predicate::fromData(p->toData())->evaluate(record(object)), expected);
    }

    // Objects of different layouts met one after another by the same predicate
    // each give their own value.
    void valuesInSlots()
    {
        const Predicate p = *Predicate::parse("item == 'Lamp' AND location == 'Home'");
        const SlotObject a(1, { "item", "location" }, { "Lamp", "Home" });
        const SlotObject b(2, { "location", "x", "item" }, { "Home", 1, "Lamp" });
        const SlotObject c(3, { "x" }, { 1 }, { { "item", "Lamp" }, { "location", "Home" } }); // read by name
        const SlotObject d(2, { "location", "x", "item" }, { "Work", 1, "Lamp" });
        const SlotObject e(1, { "item", "location" }, { "Lamp" }); // a slot without a value
        for (int round = 0; round < 2; ++round) {
            QVERIFY(p.evaluate(a));
            QVERIFY(p.evaluate(b));
            QVERIFY(p.evaluate(c));
            QVERIFY(!p.evaluate(d));
            QVERIFY(!p.evaluate(e));
        }
        QVERIFY(Predicate::parse("location == nil")->evaluate(e));
    }

    void emptyMatchesEverything()
    {
        QVERIFY(Predicate().evaluate(record("bare")));
        QVERIFY(Predicate::fromFormat("%K ==", { "item" }).evaluate(record("bare")) == false);
    }

    // Values of every type a store may hand out compare by their meaning.
    void valueTypes_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expected");
        QTest::newRow("int") << QVariant(int(7)) << "v == 7" << true;
        QTest::newRow("uint") << QVariant(uint(7)) << "v > 6.5" << true;
        QTest::newRow("qint64") << QVariant(qint64(1) << 40) << "v == 1099511627776" << true;
        QTest::newRow("float") << QVariant(0.5f) << "v == 0.5" << true;
        QTest::newRow("double vs text") << QVariant(2.5) << "v == '2.5'" << true;
        QTest::newRow("text vs number") << QVariant(QStringLiteral("2.5")) << "v == 2.5" << true;
        QTest::newRow("bytes never match text") << QVariant(QByteArray("abc")) << "v CONTAINS 'a'" << false;
        QTest::newRow("bytes present") << QVariant(QByteArray("abc")) << "v != nil" << true;
        QTest::newRow("date vs text") << QVariant(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5), Qt::UTC))
                                      << "v ENDSWITH '03:04:05 +0000'" << true;
        QTest::newRow("nan never equals") << QVariant(qQNaN()) << "v == 0 OR v < 0 OR v > 0" << false;
        QTest::newRow("empty text is a value") << QVariant(QString()) << "v == nil" << false;
    }

    void valueTypes()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, text);
        QFETCH(bool, expected);
        MapKeyValueSource o;
        o.setValue(QStringLiteral("v"), value);
        QCOMPARE(Predicate::parse(text)->evaluate(o), expected);
    }
};

QTEST_GUILESS_MAIN(TestPredicateEvaluation)
#include "tst_predicateevaluation.moc"
