#include "predicate/MapKeyValueSource.h"
#include "predicate/Predicate.h"
#include "predicate/PredicateCorrection.h"

#include <QRandomGenerator>
#include <QTest>

// The stored form of smart folder predicates and the label correction applied
// before a folder filters records.
class TestPredicateStoredForm : public QObject
{
    Q_OBJECT

    static Predicate p(const char *text)
    {
        QString error;
        const std::optional<Predicate> parsed = Predicate::parse(QString::fromUtf8(text), &error);
        if (!parsed)
            qFatal("%s: %s", text, qPrintable(error));
        return *parsed;
    }

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<Predicate>("predicate");
        QTest::newRow("empty") << Predicate();
        QTest::newRow("warranty warning") << Predicate::orPredicate({ p("warrantyLevel > 1 AND warrantyLevel < 31") });
        QTest::newRow("warranty expired")
            << Predicate::orPredicate({ p("warrantyLevel == 0 OR warrantyLevel == nil") });
        QTest::newRow("new folder") << Predicate::orPredicate({ p("item CONTAINS '' AND manufacturer CONTAINS ''") });
        QTest::newRow("label as text") << Predicate::orPredicate({ p("labelIndex == '3'"), p("labelIndex == 3") });
        QTest::newRow("every kind") << p("a == nil OR b == YES OR c == NO OR d == -12 OR e == 2.0 OR f == 'é\\n' OR "
                                         "g == CAST('2014-05-02T04:00:00.123Z', 'Date') OR h IN {1, 'x', {}, nil}");
        QTest::newRow("operators and options")
            << p("a != 1 AND a < 1 AND a <= 1 AND a > 1 AND a >= 1 AND b CONTAINS[c] 'x' AND "
                 "b BEGINSWITH[d] 'x' AND b ENDSWITH[cd] 'x' AND b MATCHES 'x.*' AND b IN {'x'}");
        QTest::newRow("modifiers") << p("ANY r.k == 1 OR ALL r.k == 2 OR NONE r.k == 3");
        QTest::newRow("nesting and order") << p("NOT (z == 1 OR (y == 2 AND NOT NOT x == 3)) AND w == 4 AND v == 5");
        QTest::newRow("true and false") << p("TRUEPREDICATE OR FALSEPREDICATE");
        QTest::newRow("single-member and") << Predicate::andPredicate({ Predicate::orPredicate({ p("a == 1") }) });
    }

    void roundTrip()
    {
        QFETCH(Predicate, predicate);
        const QByteArray data = predicate.toData();
        QCOMPARE(data.at(0), char(1)); // the format byte
        const std::optional<Predicate> back = Predicate::fromData(data);
        QVERIFY(back);
        QCOMPARE(*back, predicate);
        QCOMPARE(back->description(), predicate.description());
        QCOMPARE(back->toData(), data);
    }

    // Stored bytes must stay readable by later versions of the program.
    void knownBytes()
    {
        const Predicate folder = Predicate::orPredicate({ p("warrantyLevel > 1") });
        const QByteArray expected = QByteArray::fromHex("01"
                                                        "4f01"
                                                        "43"
                                                        "00"
                                                        "04"
                                                        "00"
                                                        "0d")
            + "warrantyLevel"
            + QByteArray::fromHex("03"
                                  "0100000000000000");
        QCOMPARE(folder.toData().toHex(), expected.toHex());
        QCOMPARE(*Predicate::fromData(expected), folder);
    }

    void corrupt_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray good = Predicate::orPredicate({ p("a == 'x'") }).toData();
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("unknown version") << QByteArray(1, char(2)) + good.mid(1);
        QTest::newRow("left over") << good + 'x';
        QTest::newRow("unknown tag") << QByteArray::fromHex("01"
                                                            "5a");
        QTest::newRow("unknown operator") << QByteArray::fromHex("01"
                                                                 "43"
                                                                 "00"
                                                                 "0b"
                                                                 "00"
                                                                 "0161"
                                                                 "00");
        QTest::newRow("unknown modifier") << QByteArray::fromHex("01"
                                                                 "43"
                                                                 "04"
                                                                 "00"
                                                                 "00"
                                                                 "0161"
                                                                 "00");
        QTest::newRow("unknown option") << QByteArray::fromHex("01"
                                                               "43"
                                                               "00"
                                                               "00"
                                                               "04"
                                                               "0161"
                                                               "00");
        QTest::newRow("bad key path") << QByteArray::fromHex("01"
                                                             "43"
                                                             "00"
                                                             "00"
                                                             "00"
                                                             "0361202e"
                                                             "00");
        QTest::newRow("unknown value kind") << QByteArray::fromHex("01"
                                                                   "43"
                                                                   "00"
                                                                   "00"
                                                                   "00"
                                                                   "0161"
                                                                   "09");
        QTest::newRow("NOT of two") << QByteArray::fromHex("01"
                                                           "4e02"
                                                           "430000000161"
                                                           "00"
                                                           "430000000161"
                                                           "00");
        QTest::newRow("empty member") << QByteArray::fromHex("01"
                                                             "4101"
                                                             "00");
        QTest::newRow("huge count") << QByteArray::fromHex("01"
                                                           "41ffffffffffffffffff01");
        QTest::newRow("huge text") << QByteArray::fromHex("01"
                                                          "43000000ffffffff0f");
        QByteArray deep(1, char(1));
        for (int i = 0; i < 100000; ++i)
            deep += QByteArray::fromHex("4e01");
        QTest::newRow("too deep") << deep;
        for (int n = 1; n < good.size(); ++n)
            QTest::addRow("cut at %d", n) << good.left(n);
    }

    void corrupt()
    {
        QFETCH(QByteArray, data);
        QVERIFY(!Predicate::fromData(data));
    }

    // Random damage never crashes; whatever still reads is a whole predicate.
    void damagedBytes()
    {
        const QByteArray good = p("(a == 1 OR ANY b.c CONTAINS[cd] 'x') AND NOT d IN {2.5, 'y', nil}").toData();
        QRandomGenerator random(20140502);
        for (int round = 0; round < 20000; ++round) {
            QByteArray data = good;
            const int changes = 1 + random.bounded(4);
            for (int i = 0; i < changes; ++i)
                data[random.bounded(1, int(data.size()))] = char(random.bounded(256));
            if (const std::optional<Predicate> back = Predicate::fromData(data))
                QVERIFY2(Predicate::parse(back->description()).has_value(), qPrintable(back->description()));
        }
    }

    void correctedPredicate_data()
    {
        QTest::addColumn<Predicate>("stored");
        QTest::addColumn<Predicate>("corrected");
        using P = Predicate;
        QTest::newRow("label text becomes number")
            << P::orPredicate({ p("labelIndex == '3'") }) << P::orPredicate({ p("labelIndex == 3") });
        QTest::newRow("any operator becomes equality")
            << P::orPredicate({ p("labelIndex != '5'"), p("item CONTAINS 'x'"), p("labelIndex > '2'") })
            << P::orPredicate({ p("labelIndex == 5"), p("item CONTAINS 'x'"), p("labelIndex == 2") });
        QTest::newRow("AND stays AND") << p("labelIndex == '1' AND item == 'x'")
                                       << p("labelIndex == 1 AND item == 'x'");
        QTest::newRow("nested unchanged") << P::orPredicate({ p("labelIndex == '3' AND item == 'x'") })
                                          << P::orPredicate({ p("labelIndex == '3' AND item == 'x'") });
        QTest::newRow("single comparison") << p("labelIndex == '4'") << p("labelIndex == 4");
        QTest::newRow("NOT") << p("NOT labelIndex == '6'") << p("NOT labelIndex == 6");
        QTest::newRow("already numbers") << p("labelIndex == 7 OR labelIndex == 8")
                                         << p("labelIndex == 7 OR labelIndex == 8");
        QTest::newRow("nil kept") << p("labelIndex == nil OR a == 1") << p("labelIndex == nil OR a == 1");
        QTest::newRow("other keys kept") << p("warrantyLevel > 1 AND warrantyLevel < 31")
                                         << p("warrantyLevel > 1 AND warrantyLevel < 31");
        QTest::newRow("empty") << Predicate() << Predicate();
    }

    void correctedPredicate()
    {
        QFETCH(Predicate, stored);
        QFETCH(Predicate, corrected);
        QCOMPARE(PredicateCorrection::correctedPredicate(stored), corrected);
    }

    void correctedLabelFilters()
    {
        MapKeyValueSource three({ { "labelIndex", 3 } }), four({ { "labelIndex", 4 } });
        const Predicate folder = PredicateCorrection::correctedPredicate(
            *Predicate::fromData(Predicate::orPredicate({ p("labelIndex != '3'") }).toData()));
        QVERIFY(folder.evaluate(three));
        QVERIFY(!folder.evaluate(four));
    }
};

QTEST_GUILESS_MAIN(TestPredicateStoredForm)
#include "tst_predicatestoredform.moc"
