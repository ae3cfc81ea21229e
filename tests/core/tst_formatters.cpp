#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Settings.h"
#include "core/TBXDateFormatter.h"
#include "core/TBXNumberFormatter.h"

#include <QTemporaryDir>
#include <QTest>

class TestFormatters : public QObject
{
    Q_OBJECT

private slots:
    void init() { Settings::setFilePath(m_dir.filePath(QStringLiteral("s%1.ini").arg(++m_n))); }

    // Both columns of the date table: the format a new formatter takes, and the
    // one an existing formatter takes when the setting changes.
    void dateTable_data()
    {
        QTest::addColumn<QVariant>("index");
        QTest::addColumn<QString>("atCreation");
        QTest::addColumn<QString>("onChange");
        QTest::addColumn<QString>("shownAtCreation");
        QTest::addColumn<QString>("shownOnChange");
        QTest::newRow("0") << QVariant(0) << "d/M/yyyy"
                           << "d/M/yyyy"
                           << "5/3/2026"
                           << "5/3/2026";
        QTest::newRow("1") << QVariant(1) << "M/d/yyyy"
                           << "M/d/yyyy"
                           << "3/5/2026"
                           << "3/5/2026";
        QTest::newRow("2") << QVariant(2) << "yyyy/M/d"
                           << "yyyy/M/dd"
                           << "2026/3/5"
                           << "2026/3/05";
        QTest::newRow("7") << QVariant(7) << "yyyy/M/d"
                           << "yyyy/M/dd"
                           << "2026/3/5"
                           << "2026/3/05";
        QTest::newRow("no value") << QVariant() << "M/d/yyyy"
                                  << "M/d/yyyy"
                                  << "3/5/2026"
                                  << "3/5/2026";
    }

    void dateTable()
    {
        QFETCH(QVariant, index);
        QFETCH(QString, atCreation);
        QFETCH(QString, onChange);
        QFETCH(QString, shownAtCreation);
        QFETCH(QString, shownOnChange);
        const QDate date(2026, 3, 5);

        // A formatter made while the index is already stored uses the first column.
        if (index.isValid())
            Settings::setValue(Settings::dateFormatIndex, index);
        {
            TBXDateFormatter formatter;
            QCOMPARE(formatter.dateFormat(), atCreation);
            QCOMPARE(formatter.stringFromDate(date), shownAtCreation);
        }

        // A formatter that hears of the change uses the second column.
        Settings::remove(Settings::dateFormatIndex);
        TBXDateFormatter formatter;
        if (index.isValid())
            Settings::setValue(Settings::dateFormatIndex, index);
        EventBus::instance().post(Events::TBXDateFormatUpdated);
        QCOMPARE(formatter.dateFormat(), onChange);
        QCOMPARE(formatter.stringFromDate(date), shownOnChange);
        QCOMPARE(formatter.dateFromString(shownOnChange), date);
    }

    void numberTable_data()
    {
        QTest::addColumn<QVariant>("index");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("shown");
        QTest::newRow("no value") << QVariant() << 1000.5 << "1,000.50";
        QTest::newRow("0") << QVariant(0) << 1234567.125 << "1,234,567.13";
        QTest::newRow("1") << QVariant(1) << 1000.5 << "1.000,50";
        QTest::newRow("1, negative") << QVariant(1) << -2.5 << "-2,50";
        QTest::newRow("5 counts as 1") << QVariant(5) << 999.0 << "999,00";
    }

    void numberTable()
    {
        QFETCH(QVariant, index);
        QFETCH(double, value);
        QFETCH(QString, shown);
        TBXNumberFormatter formatter;
        if (index.isValid())
            Settings::setValue(Settings::decFormatIndex, index);
        EventBus::instance().post(Events::TBXDecimalFormatUpdated);
        QCOMPARE(formatter.stringFromNumber(value), shown);
        QCOMPARE(formatter.currencyDecimalSeparator(), formatter.decimalSeparator());
        QCOMPARE(formatter.currencyGroupingSeparator(), formatter.groupingSeparator());
        const std::optional<double> back = formatter.numberFromString(shown);
        QVERIFY(back.has_value());
        QCOMPARE(*back, std::round(value * 100) / 100);
    }

    void numberFromBadText()
    {
        TBXNumberFormatter formatter;
        QVERIFY(!formatter.numberFromString(QStringLiteral("twelve")).has_value());
        QVERIFY(!formatter.numberFromString(QString()).has_value());
    }

private:
    QTemporaryDir m_dir;
    int m_n = 0;
};

QTEST_GUILESS_MAIN(TestFormatters)
#include "tst_formatters.moc"
