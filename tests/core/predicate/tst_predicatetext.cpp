#include "predicate/Predicate.h"

#include <QRandomGenerator>
#include <QTest>

// The formats the program builds, the text form they print, and reading texts back.
class TestPredicateText : public QObject
{
    Q_OBJECT

private slots:
    void formats_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("text");
        QTest::newRow("key equals text") << "%K == %@" << QVariantList { "categoryName", "Tools" }
                                         << "categoryName == \"Tools\"";
        QTest::newRow("key equals number")
            << "%K == %@" << QVariantList { "recordID", 420000000.25 } << "recordID == 420000000.25";
        QTest::newRow("key equals whole") << "%K == %d" << QVariantList { "labelIndex", 3 } << "labelIndex == 3";
        QTest::newRow("key is YES") << "%K == YES" << QVariantList { "isDefault" } << "isDefault == YES";
        QTest::newRow("matches") << "%K MATCHES %@" << QVariantList { "locationName", "Kitchen" }
                                 << "locationName MATCHES \"Kitchen\"";
        QTest::newRow("two equalities") << "(%K == %@) && (%K == %@)"
                                        << QVariantList { "insuranceCoverageName", "Jewels", "insurancePolicyName",
                                                          "Home" }
                                        << "insuranceCoverageName == \"Jewels\" AND insurancePolicyName == \"Home\"";
        QTest::newRow("zero or nil") << "((%K == 0) || (%K == nil))"
                                     << QVariantList { "warrantyLevel", "warrantyLevel" }
                                     << "warrantyLevel == 0 OR warrantyLevel == nil";
        QTest::newRow("between") << "((%K > 1) AND (%K < 31))" << QVariantList { "warrantyLevel", "warrantyLevel" }
                                 << "warrantyLevel > 1 AND warrantyLevel < 31";
        QTest::newRow("template") << "(%K contains '') AND (%K contains '')" << QVariantList { "item", "manufacturer" }
                                  << "item CONTAINS \"\" AND manufacturer CONTAINS \"\"";
        QTest::newRow("locations") << "location IN %@" << QVariantList { QStringList { "Home", "Work" } }
                                   << "location IN {\"Home\", \"Work\"}";
        QTest::newRow("no locations") << "location IN %@" << QVariantList { QStringList {} } << "location IN {}";
        QTest::newRow("tag prefix") << "tagName BEGINSWITH %@" << QVariantList { "gar" }
                                    << "tagName BEGINSWITH \"gar\"";
        QTest::newRow("name look-up") << "categoryName == %@" << QVariantList { "My \"Car\"" }
                                      << "categoryName == \"My \\\"Car\\\"\"";
        QTest::newRow("policy look-up") << "policyName == %@" << QVariantList { "A\\B" } << "policyName == \"A\\\\B\"";
        QTest::newRow("options") << "%K CONTAINS[cd] %@" << QVariantList { "item", "lamp" }
                                 << "item CONTAINS[cd] \"lamp\"";
        QTest::newRow("any") << "ANY %K CONTAINS[c] %@" << QVariantList { "customField.cfTextField", "x" }
                             << "ANY customField.cfTextField CONTAINS[c] \"x\"";
        QTest::newRow("nil argument") << "%K == %@" << QVariantList { "vendorName", QVariant() } << "vendorName == nil";
        QTest::newRow("bool argument") << "%K == %@" << QVariantList { "insured", true } << "insured == YES";
        QTest::newRow("placeholder in quotes stays text")
            << "%K == '%@'" << QVariantList { "item" } << "item == \"%@\"";
        QTest::newRow("scalar for IN") << "%K IN %@" << QVariantList { "location", "Home" } << "location IN {\"Home\"}";
        QTest::newRow("reserved key") << "%K == %d" << QVariantList { "size", 2 } << "#size == 2";
        QTest::newRow("whole number as %@") << "%K < %@" << QVariantList { "recordQty", qint64(5) } << "recordQty < 5";
        QTest::newRow("double keeps its point")
            << "%K > %@" << QVariantList { "purchasePrice", 5.0 } << "purchasePrice > 5.0";
        QTest::newRow("date") << "%K < %@"
                              << QVariantList { "purchaseDate", QDateTime(QDate(2014, 5, 2), QTime(4, 0), Qt::UTC) }
                              << "purchaseDate < CAST(\"2014-05-02T04:00:00.000Z\", \"Date\")";
    }

    void formats()
    {
        QFETCH(QString, format);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, text);
        QString error;
        const std::optional<Predicate> p = Predicate::tryFromFormat(format, arguments, &error);
        QVERIFY2(p, qPrintable(error));
        QCOMPARE(p->description(), text);
        QCOMPARE(Predicate::fromFormat(format, arguments), *p);
        // Reading the text form gives the same predicate back.
        const std::optional<Predicate> back = Predicate::parse(text, &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(*back, *p);
    }

    // Hand-written texts in the accepted variants and the canonical form printed.
    void parse_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::newRow("single =") << "a = 1"
                                  << "a == 1";
        QTest::newRow("<>") << "a <> 'x'"
                            << "a != \"x\"";
        QTest::newRow("=< and =>") << "a =< 1 && b => 2"
                                   << "a <= 1 AND b >= 2";
        QTest::newRow("lower-case words") << "a contains 'x' or not b beginswith 'y'"
                                          << "a CONTAINS \"x\" OR NOT b BEGINSWITH \"y\"";
        QTest::newRow("! and ||") << "!(a == 1 || b == 2)"
                                  << "NOT (a == 1 OR b == 2)";
        QTest::newRow("precedence") << "a == 1 OR b == 2 AND c == 3"
                                    << "a == 1 OR (b == 2 AND c == 3)";
        QTest::newRow("groups stay") << "(a == 1 OR b == 2) AND c == 3"
                                     << "(a == 1 OR b == 2) AND c == 3";
        QTest::newRow("chains flatten") << "a == 1 AND b == 2 AND c == 3"
                                        << "a == 1 AND b == 2 AND c == 3";
        QTest::newRow("NULL TRUE FALSE") << "a == NULL OR b == TRUE OR c == FALSE"
                                         << "a == nil OR b == YES OR c == NO";
        QTest::newRow("numbers") << "a > -2.5 AND b < 1e3 AND c == -7"
                                 << "a > -2.5 AND b < 1000.0 AND c == -7";
        QTest::newRow("escapes") << "a == \"tab\\there\\nquote\\\" 'single' back\\\\slash\""
                                 << "a == \"tab\\there\\nquote\\\" 'single' back\\\\slash\"";
        QTest::newRow("single quotes") << "a == 'it\\'s'"
                                       << "a == \"it's\"";
        QTest::newRow("unknown escape kept") << "a MATCHES \"x\\(y\\)\""
                                             << "a MATCHES \"x\\\\(y\\\\)\"";
        QTest::newRow("unicode escape") << "a == \"\\u00e9\\u0001\""
                                        << "a == \"\u00e9\\u0001\"";
        QTest::newRow("options") << "a ENDSWITH[d] 'x' AND b MATCHES[c] 'y' AND c ==[cd] 'z'"
                                 << "a ENDSWITH[d] \"x\" AND b MATCHES[c] \"y\" AND c ==[cd] \"z\"";
        QTest::newRow("SOME ALL NONE") << "SOME r.k == 1 OR ALL r.k > 0 OR NONE r.k < 0"
                                       << "ANY r.k == 1 OR ALL r.k > 0 OR NONE r.k < 0";
        QTest::newRow("nested lists") << "a IN {1, 2.5, 'x', nil, YES, {}}"
                                      << "a IN {1, 2.5, \"x\", nil, YES, {}}";
        QTest::newRow("true and false predicates") << "TRUEPREDICATE OR FALSEPREDICATE"
                                                   << "TRUEPREDICATE OR FALSEPREDICATE";
        QTest::newRow("double negation") << "NOT NOT a == 1"
                                         << "NOT NOT a == 1";
        QTest::newRow("escaped keyword key") << "#in == 1 AND #Contains.#any == 2"
                                             << "#in == 1 AND #Contains.#any == 2";
        QTest::newRow("date in seconds") << "d == CAST(0, 'date')"
                                         << "d == CAST(\"2001-01-01T00:00:00.000Z\", \"Date\")";
        QTest::newRow("not a number") << "a == CAST('nan', 'Number') OR b < CAST(\"-inf\", \"number\")"
                                      << "a == CAST(\"nan\", \"Number\") OR b < CAST(\"-inf\", \"Number\")";
        QTest::newRow("far dates")
            << "a == CAST(-1e12, 'Date') OR b == CAST(400000000000.5, 'Date')"
            << "a == CAST(-1000000000000.000, \"Date\") OR b == CAST(400000000000.500, \"Date\")";
        QTest::newRow("blank") << "  "
                               << "";
    }

    void parse()
    {
        QFETCH(QString, input);
        QFETCH(QString, text);
        QString error;
        const std::optional<Predicate> p = Predicate::parse(input, &error);
        QVERIFY2(p, qPrintable(error));
        QCOMPARE(p->description(), text);
        const std::optional<Predicate> back = Predicate::parse(text, &error);
        QVERIFY2(back, qPrintable(error));
        QCOMPARE(*back, *p);
    }

    void malformed_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no operator") << "a 1" << QVariantList {} << "Expected an operator";
        QTest::newRow("no value") << "a ==" << QVariantList {} << "Expected a value at the end";
        QTest::newRow("open group") << "(a == 1" << QVariantList {} << "Expected \")\"";
        QTest::newRow("trailing") << "a == 1)" << QVariantList {} << "Unexpected";
        QTest::newRow("open quote") << "a == 'x" << QVariantList {} << "Unterminated";
        QTest::newRow("key on the right") << "a == b" << QVariantList {} << "Expected a value";
        QTest::newRow("keyword as key") << "AND == 1" << QVariantList {} << "Expected a key path";
        QTest::newRow("IN without list") << "a IN 'x'" << QVariantList {} << "IN needs a list";
        QTest::newRow("bad option") << "a CONTAINS[x] 'y'" << QVariantList {} << "Unknown option";
        QTest::newRow("missing argument") << "%K == %@" << QVariantList { "a" } << "Missing argument";
        QTest::newRow("extra argument") << "%K == 1" << QVariantList { "a", "b" } << "more than placeholders";
        QTest::newRow("bad key argument") << "%K == 1" << QVariantList { "a b" } << "not a key path";
        QTest::newRow("not a whole number") << "%K == %d" << QVariantList { "a", "x" } << "does not fit";
        QTest::newRow("unknown placeholder") << "%K == %s" << QVariantList { "a", "x" } << "Unknown placeholder";
        QTest::newRow("unknown character") << "a == 1 ; b == 2" << QVariantList {} << "Unexpected character";
        QTest::newRow("value kind") << "%K == %@" << QVariantList { "a", QVariant::fromValue(QSize(1, 1)) }
                                    << "does not fit";
        QTest::newRow("too deep") << QString(300, u'(') + "a == 1" + QString(300, u')') << QVariantList {}
                                  << "Nested too deeply";
    }

    void malformed()
    {
        QFETCH(QString, format);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!Predicate::tryFromFormat(format, arguments, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
        // The lenient form selects nothing instead.
        QCOMPARE(Predicate::fromFormat(format, arguments), Predicate::falsePredicate());
    }

    // Trees made by the builders print a text that reads back to an equal tree.
    void roundTripOfBuiltTrees()
    {
        using P = Predicate;
        const P a = P::comparison("a", P::Operator::LessThanOrEqualTo, PredicateValue::number(1e-300));
        const P b = P::comparison("b.c", P::Operator::Matches, PredicateValue::text("x\"\\y\n"), P::CaseInsensitive,
                                  P::Modifier::All);
        const P c = P::comparison("c", P::Operator::In,
                                  PredicateValue::list({ PredicateValue::integer(-9223372036854775807LL - 1),
                                                         PredicateValue::number(0.1), PredicateValue::nil() }));
        const QList<P> trees = {
            a,
            P::andPredicate({ a, P::orPredicate({ b, c }), P::notPredicate(P::andPredicate({ a, b })) }),
            P::orPredicate({ P::notPredicate(P::notPredicate(c)), P::andPredicate({}), P::orPredicate({}) }),
            P::andPredicate({ P::andPredicate({ a, b }), c }),
        };
        for (const P &p : trees) {
            QString error;
            const std::optional<P> back = P::parse(p.description(), &error);
            QVERIFY2(back, qPrintable(p.description() + ": " + error));
            QVERIFY2(*back == p, qPrintable(p.description() + " read back as " + back->description()));
        }
    }

    // An AND or OR with one member is written as that member (the stored form keeps it).
    void singleMemberCompound()
    {
        const Predicate inner = Predicate::fromFormat("((%K > 1) AND (%K < 31))", { "warrantyLevel", "warrantyLevel" });
        const Predicate folder = Predicate::orPredicate({ inner });
        QCOMPARE(folder.description(), QStringLiteral("warrantyLevel > 1 AND warrantyLevel < 31"));
        QCOMPARE(folder.members().size(), 1);
        QCOMPARE(*Predicate::parse(folder.description()), inner);
        const Predicate withOther = Predicate::andPredicate({ folder, Predicate::parse("a == 1").value() });
        QCOMPARE(withOther.description(), QStringLiteral("(warrantyLevel > 1 AND warrantyLevel < 31) AND a == 1"));
    }

    // Damaged texts never crash the reader, and whatever still reads prints a
    // text that reads back to the same predicate.
    void damagedTexts()
    {
        const QString good = QStringLiteral(
            "(a == 1 OR ANY b.c CONTAINS[cd] 'x\\'y') AND NOT d IN {2.5, \"é\", nil, -3} && e MATCHES 'f.*' "
            "|| !(g <= CAST('2014-05-02T04:00:00.000Z', 'Date')) OR #in != YES");
        QVERIFY(Predicate::parse(good));
        const QString alphabet = QStringLiteral("()[]{}'\"\\,.-#%@Kd!=<>&| aAcCdNOTIRYES019e");
        QRandomGenerator random(31);
        int read = 0;
        for (int round = 0; round < 20000; ++round) {
            QString text = good;
            const int changes = 1 + random.bounded(3);
            for (int i = 0; i < changes; ++i) {
                const int at = random.bounded(int(text.size()));
                switch (random.bounded(3)) {
                case 0:
                    text.remove(at, 1 + random.bounded(3));
                    break;
                case 1:
                    text.insert(at, alphabet.at(random.bounded(int(alphabet.size()))));
                    break;
                default:
                    text[at] = alphabet.at(random.bounded(int(alphabet.size())));
                }
            }
            QString error;
            const std::optional<Predicate> p = Predicate::parse(text, &error);
            if (!p) {
                QVERIFY(!error.isEmpty());
                continue;
            }
            ++read;
            const std::optional<Predicate> back = Predicate::parse(p->description(), &error);
            QVERIFY2(back, qPrintable(text + " -> " + p->description() + ": " + error));
            QVERIFY2(*back == *p, qPrintable(text + " -> " + p->description()));
        }
        QVERIFY(read > 100);
    }

    void emptyPredicate()
    {
        const Predicate empty;
        QVERIFY(empty.isEmpty());
        QCOMPARE(empty.description(), QString());
        QCOMPARE(*Predicate::parse(QString()), empty);
        QCOMPARE(Predicate::andPredicate({ empty, empty }), Predicate::truePredicate());
        QCOMPARE(Predicate::notPredicate(empty).description(), QStringLiteral("NOT TRUEPREDICATE"));
    }

    void inspection()
    {
        const Predicate p
            = Predicate::fromFormat("NOT ANY %K BEGINSWITH[cd] %@ OR x == 1", { "customField.cfTextField", "ab" });
        QCOMPARE(p.type(), Predicate::Type::Compound);
        QCOMPARE(p.compoundType(), Predicate::CompoundType::Or);
        QCOMPARE(p.members().size(), 2);
        const Predicate n = p.members().at(0);
        QCOMPARE(n.compoundType(), Predicate::CompoundType::Not);
        const Predicate c = n.members().at(0);
        QVERIFY(c.isComparison());
        QCOMPARE(c.keyPath(), QStringLiteral("customField.cfTextField"));
        QCOMPARE(c.operatorType(), Predicate::Operator::BeginsWith);
        QCOMPARE(c.options(), Predicate::CaseInsensitive | Predicate::DiacriticInsensitive);
        QCOMPARE(c.modifier(), Predicate::Modifier::Any);
        QCOMPARE(c.value(), PredicateValue::text("ab"));
        QCOMPARE(p.members().at(1).value().kind(), PredicateValue::Kind::Integer);
        // Kinds count for equality.
        QVERIFY(*Predicate::parse("a == 1") != *Predicate::parse("a == '1'"));
        QVERIFY(*Predicate::parse("a == 1") != *Predicate::parse("a == 1.0"));
        // A predicate travels in event payloads.
        const QVariant v = QVariant::fromValue(p);
        QCOMPARE(v.value<Predicate>(), p);
    }
};

QTEST_GUILESS_MAIN(TestPredicateText)
#include "tst_predicatetext.moc"
