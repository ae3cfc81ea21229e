#include "core/CurrencyLabel.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QTemporaryDir>
#include <QTest>

// The long form of a currency, from its two parts and from a Currency object:
// both must give the same text, since records are matched to the list by it.
class TestCurrencyLabel : public QObject
{
    Q_OBJECT

private slots:
    void longCurrency_data()
    {
        QTest::addColumn<QVariant>("symbol");
        QTest::addColumn<QVariant>("code");
        QTest::addColumn<QString>("label");
        QTest::newRow("both") << QVariant(QStringLiteral("$")) << QVariant(QStringLiteral("USD"))
                              << QStringLiteral("$ - USD");
        QTest::newRow("euro sign") << QVariant(QStringLiteral("€")) << QVariant(QStringLiteral("EUR"))
                                   << QStringLiteral("€ - EUR");
        QTest::newRow("symbol is a code")
            << QVariant(QStringLiteral("CHF")) << QVariant(QStringLiteral("CHF")) << QStringLiteral("CHF - CHF");
        QTest::newRow("code only") << QVariant() << QVariant(QStringLiteral("XAU")) << QStringLiteral("XAU");
        QTest::newRow("empty symbol") << QVariant(QString()) << QVariant(QStringLiteral("XAU"))
                                      << QStringLiteral("XAU");
        QTest::newRow("symbol only") << QVariant(QStringLiteral("¥")) << QVariant() << QStringLiteral("¥");
        QTest::newRow("neither") << QVariant() << QVariant() << QStringLiteral("");
    }

    void longCurrency()
    {
        QFETCH(QVariant, symbol);
        QFETCH(QVariant, code);
        QFETCH(QString, label);

        const QString fromParts = CurrencyLabel::longCurrency(symbol.toString(), code.toString());
        QCOMPARE(fromParts, label);
        // A null text would be stored as no value at all.
        QVERIFY(!fromParts.isNull());

        QTemporaryDir dir;
        QString error;
        const auto context = ManagedObjectContext::open(dir.filePath(QStringLiteral("sqldata")),
                                                        ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        QVERIFY2(context, qPrintable(error));
        ManagedObject *currency = context->insertNewObject(QStringLiteral("Currency"));
        QVERIFY(currency->setValue(QStringLiteral("currencyName"), code));
        QVERIFY(currency->setValue(QStringLiteral("currencySymbol"), symbol));
        QCOMPARE(CurrencyLabel::longCurrency(*currency), label);
    }
};

QTEST_GUILESS_MAIN(TestCurrencyLabel)
#include "tst_currencylabel.moc"
