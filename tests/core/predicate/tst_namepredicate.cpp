#include "predicate/MapKeyValueSource.h"
#include "predicate/NamePredicate.h"

#include <QTest>

// The shared name look-up: whole-name patterns with the name escaped.
class TestNamePredicate : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("plain name is exact")
            << "Tools" << QStringList { "Tools", "tools", "Tools 1", "My Tools", "Tool" } << QStringList { "Tools" };
        QTest::newRow("brackets") << "Tools (garage)"
                                  << QStringList { "Tools (garage)", "Tools garage", "Tools (Garage)" }
                                  << QStringList { "Tools (garage)" };
        QTest::newRow("plus signs") << "C++" << QStringList { "C++", "C", "CC", "C+" } << QStringList { "C++" };
        QTest::newRow("dot") << "a.b" << QStringList { "a.b", "axb" } << QStringList { "a.b" };
        QTest::newRow("every special character") << "$5 [x] ^{y}|z?*\\" << QStringList { "$5 [x] ^{y}|z?*\\", "5 x y" }
                                                 << QStringList { "$5 [x] ^{y}|z?*\\" };
        QTest::newRow("empty name") << "" << QStringList { "", "x" } << QStringList { "" };
        QTest::newRow("accents count") << QString::fromUtf8("Café")
                                       << QStringList { QString::fromUtf8("Café"), "Cafe", QString::fromUtf8("CAFÉ") }
                                       << QStringList { QString::fromUtf8("Café") };
        QTest::newRow("blanks count") << "Home " << QStringList { "Home", "Home " } << QStringList { "Home " };
        QTest::newRow("line break") << "a\nb" << QStringList { "a\nb", "ab" } << QStringList { "a\nb" };
        QTest::newRow("zero character") << QString(QChar(0)) + "x" << QStringList { QString(QChar(0)) + "x", "x" }
                                        << QStringList { QString(QChar(0)) + "x" };
    }

    void lookup()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, found);
        const Predicate p = NamePredicate::nameLookup(QStringLiteral("categoryName"), name);
        const Predicate reread = *Predicate::parse(p.description());
        QCOMPARE(reread, p);
        QStringList matched;
        for (const QString &s : stored) {
            MapKeyValueSource object({ { "categoryName", s } });
            QCOMPARE(reread.evaluate(object), p.evaluate(object));
            if (p.evaluate(object))
                matched.append(s);
        }
        QCOMPARE(matched, found);
        // A missing name is never found.
        QVERIFY(!p.evaluate(MapKeyValueSource()));
    }

    void escapedPattern_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "Living Room"
                               << "Living Room"
                               << "categoryName MATCHES \"Living Room\"";
        QTest::newRow("brackets") << "Tools (garage)"
                                  << "Tools \\(garage\\)"
                                  << "categoryName MATCHES \"Tools \\\\(garage\\\\)\"";
        QTest::newRow("plus") << "C++"
                              << "C\\+\\+"
                              << "categoryName MATCHES \"C\\\\+\\\\+\"";
        QTest::newRow("quote and backslash") << "5\" \\ x"
                                             << "5\" \\\\ x"
                                             << "categoryName MATCHES \"5\\\" \\\\\\\\ x\"";
    }

    void escapedPattern()
    {
        QFETCH(QString, name);
        QFETCH(QString, pattern);
        QFETCH(QString, text);
        QCOMPARE(NamePredicate::escapedPattern(name), pattern);
        QCOMPARE(NamePredicate::nameLookup(QStringLiteral("categoryName"), name).description(), text);
    }

    // The look-up is what "%K MATCHES %@" gives with the escaped name.
    void sameAsFormat()
    {
        const QString name = QStringLiteral("Tools (garage)");
        QCOMPARE(NamePredicate::nameLookup(QStringLiteral("locationName"), name),
                 Predicate::fromFormat(QStringLiteral("%K MATCHES %@"),
                                       { QStringLiteral("locationName"), NamePredicate::escapedPattern(name) }));
    }
};

QTEST_GUILESS_MAIN(TestNamePredicate)
#include "tst_namepredicate.moc"
