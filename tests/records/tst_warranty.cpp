#include "base/Clock.h"
#include "core/Record.h"
#include "records/TBXWarrantyCalculator.h"
#include "store/ManagedObjectContext.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

// The remaining-warranty level and text of a record, and the calculator of the
// vehicle and building details, against a fixed clock. Runs in New York time so
// that the calendar's daylight saving changes are exercised.
class TestWarranty : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ManagedObjectContext> m_context;

    static QDateTime local(int y, int mo, int d, int h = 10, int mi = 0)
    {
        return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::LocalTime);
    }

private slots:
    void initTestCase()
    {
        Record::registerClass();
        QString error;
        m_context = ManagedObjectContext::open(m_dir.filePath(QStringLiteral("sqldata")),
                                               ManagedObjectContext::OpenMode::CreateIfMissing, &error);
        QVERIFY2(m_context, qPrintable(error));
    }

    void cleanup() { Clock::reset(); }

    void remaining_data()
    {
        QTest::addColumn<QDateTime>("purchase");
        QTest::addColumn<QVariant>("n1");
        QTest::addColumn<QVariant>("i1");
        QTest::addColumn<QVariant>("n2");
        QTest::addColumn<QVariant>("i2");
        QTest::addColumn<bool>("addon");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<double>("level");
        QTest::addColumn<QString>("text");

        const QVariant none;
        const QDateTime jan15 = local(2024, 1, 15);
        QTest::newRow("2 years, one year on") << jan15 << QVariant(2) << QVariant("Years") << none << none << false
                                              << local(2025, 1, 15) << 365.0 / 731.0 * 100 << "365 Days";
        QTest::newRow("extension as add-on follows the warranty")
            << jan15 << QVariant(1) << QVariant("Years") << QVariant(2) << QVariant("Years") << true << jan15 << 100.0
            << "1096 Days";
        QTest::newRow("extension without add-on runs from purchase")
            << jan15 << QVariant(1) << QVariant("Years") << QVariant(2) << QVariant("Years") << false << jan15 << 100.0
            << "731 Days";
        QTest::newRow("90 days, 20 left (warning)")
            << local(2024, 3, 1) << QVariant(90) << QVariant("Days") << none << none << false
            << local(2024, 3, 1).addDays(70) << 480.0 / 2159.0 * 100
            << "20 Days"; // 90 days less the hour lost in March
        QTest::newRow("90 days, 30 left")
            << local(2024, 3, 1) << QVariant(90) << QVariant("Days") << none << none << false
            << local(2024, 3, 1).addDays(60) << 720.0 / 2159.0 * 100 << "30 Days";
        QTest::newRow("10 hours left") << jan15 << QVariant(1) << QVariant("Years") << none << none << false
                                       << local(2025, 1, 15, 0) << (10.0 / 24.0) / 366.0 * 100 << "0 Days";
        QTest::newRow("lifetime without purchase date") << QDateTime() << QVariant(0) << QVariant("Lifetime") << none
                                                        << none << false << jan15 << 100.0 << "Lifetime";
        QTest::newRow("lifetime extension")
            << jan15 << QVariant(1) << QVariant("Years") << QVariant(5) << QVariant("Lifetime") << false
            << local(2030, 1, 1) << 100.0 << "Lifetime";
        QTest::newRow("no purchase date")
            << QDateTime() << QVariant(2) << QVariant("Years") << none << none << false << jan15 << 0.0 << "0 Days";
        QTest::newRow("both numbers 0") << jan15 << QVariant(0) << QVariant("Years") << QVariant(0) << QVariant("Days")
                                        << false << jan15 << 0.0 << "0 Days";
        QTest::newRow("purchase in the future is capped")
            << local(2024, 2, 1) << QVariant(10) << QVariant("Days") << none << none << false << local(2024, 1, 27)
            << 100.0 << "15 Days";
        QTest::newRow("ends exactly now") << jan15 << QVariant(1) << QVariant("Years") << none << none << false
                                          << local(2025, 1, 15) << 0.0 << "0 Days";
        QTest::newRow("ended long ago") << jan15 << QVariant(1) << QVariant("Weeks") << none << none << false
                                        << local(2025, 6, 1) << 0.0 << "0 Days";
        QTest::newRow("6 weeks from 1 March end 12 April")
            << local(2023, 3, 1) << QVariant(6) << QVariant("Weeks") << none << none << false << local(2023, 4, 11)
            << 24.0 / 1007.0 * 100 << "1 Days";
        QTest::newRow("1 month from 31 January ends on the last of February")
            << local(2023, 1, 31) << QVariant(1) << QVariant("Months") << none << none << false << local(2023, 1, 31)
            << 100.0 << "28 Days";
        QTest::newRow("leap February") << local(2024, 1, 31) << QVariant(1) << QVariant("Months") << none << none
                                       << false << local(2024, 1, 31) << 100.0 << "29 Days";
        QTest::newRow("unknown manufacturer increment ends now")
            << jan15 << QVariant(3) << QVariant("Fortnights") << none << none << false << local(2024, 6, 1) << 0.0
            << "0 Days";
        QTest::newRow("unknown manufacturer increment, longer extension")
            << jan15 << QVariant(3) << QVariant("Fortnights") << QVariant(1) << QVariant("Years") << false
            << local(2024, 12, 16) << 30.0 / 366.0 * 100 << "30 Days";
        QTest::newRow("unknown extension increment adds nothing")
            << jan15 << QVariant(1) << QVariant("Years") << QVariant(2) << QVariant("decades") << false
            << local(2024, 12, 16) << 30.0 / 366.0 * 100 << "30 Days";
        QTest::newRow("increments compare with case") << jan15 << QVariant(1) << QVariant("years") << none << none
                                                      << false << local(2024, 2, 1) << 0.0 << "0 Days";
        QTest::newRow("half a day rounds away from zero")
            << jan15 << QVariant(10) << QVariant("Days") << none << none << false << local(2024, 1, 22, 22)
            << 2.5 / 10.0 * 100 << "3 Days";
        QTest::newRow("one and a half days") << jan15 << QVariant(10) << QVariant("Days") << none << none << false
                                             << local(2024, 1, 23, 22) << 1.5 / 10.0 * 100 << "2 Days";
        // 10 March 2024 is 23 hours long in New York.
        QTest::newRow("a day across the change to summer time")
            << local(2024, 3, 9, 12) << QVariant(1) << QVariant("Days") << none << none << false
            << local(2024, 3, 9, 12) << 100.0 << "1 Days";
        // 14 March 2027 has no 02:30 in New York: the wall time moves forward by
        // the hour of the gap, to 03:30 daylight time (07:30 UTC).
        QTest::newRow("a year into the spring gap")
            << local(2026, 3, 14, 2, 30) << QVariant(1) << QVariant("Years") << none << none << false
            << local(2027, 3, 14, 1) << 1.5 / (365 * 24 + 1) * 100 << "0 Days";
        // 1 November 2026 has 01:30 twice in New York: the first (daylight) one counts.
        QTest::newRow("a month into the autumn overlap")
            << local(2026, 10, 1, 1, 30) << QVariant(1) << QVariant("Months") << none << none << false
            << local(2026, 11, 1, 0, 30) << 1.0 / (31 * 24) * 100 << "0 Days";
        QTest::newRow("extension only, from purchase")
            << jan15 << QVariant(0) << none << QVariant(2) << QVariant("Years") << true << local(2025, 1, 15)
            << 365.0 / 731.0 * 100 << "365 Days";
    }

    void remaining()
    {
        QFETCH(QDateTime, purchase);
        QFETCH(QVariant, n1);
        QFETCH(QVariant, i1);
        QFETCH(QVariant, n2);
        QFETCH(QVariant, i2);
        QFETCH(bool, addon);
        QFETCH(QDateTime, now);
        QFETCH(double, level);
        QFETCH(QString, text);

        Clock::setNow(now);
        Record *r = Record::from(m_context->insertNewObject(Record::Entity));
        QVERIFY(r);
        r->setPurchaseDate(purchase.isValid() ? QVariant(purchase) : QVariant());
        r->setWarrantyLengthNumber(n1);
        r->setWarrantyLengthIncrement(i1);
        r->setXWarrantyLengthNumber(n2);
        r->setXWarrantyLengthIncrement(i2);
        r->setAddon(addon);
        r->calcWarrLengthRemaining();
        QCOMPARE(r->expirationDate(), text);
        QVERIFY2(qAbs(r->warrantyLevel() - level) < 1e-4,
                 qPrintable(QStringLiteral("level %1, expected %2").arg(r->warrantyLevel()).arg(level)));
        // Stored from a 32-bit float.
        QCOMPARE(double(float(r->warrantyLevel())), r->warrantyLevel());
    }

    void incompleteWarrantyKeepsPreviousValues()
    {
        Clock::setNow(local(2024, 5, 1));
        Record *r = Record::from(m_context->insertNewObject(Record::Entity));
        r->setWarrantyLevel(42.5);
        r->setExpirationDate(QStringLiteral("12 Days"));
        r->setWarrantyLengthNumber(3); // no increment chosen yet
        QCOMPARE(r->warrantyLevel(), 42.5);
        QCOMPARE(r->expirationDate(), QStringLiteral("12 Days"));
        r->setWarrantyLengthIncrement(QString()); // an empty choice is no choice
        QCOMPARE(r->expirationDate(), QStringLiteral("12 Days"));
        r->setWarrantyLengthIncrement(QStringLiteral("Months"));
        QCOMPARE(r->expirationDate(), QStringLiteral("92 Days"));
    }

    void settingTheLevelDoesNotRecompute()
    {
        Clock::setNow(local(2024, 5, 1));
        Record *r = Record::from(m_context->insertNewObject(Record::Entity));
        r->setWarrantyLengthNumber(1);
        r->setWarrantyLengthIncrement(QStringLiteral("Years"));
        r->setWarrantyLevel(7.0);
        QCOMPARE(r->warrantyLevel(), 7.0);
        QCOMPARE(r->expirationDate(), QStringLiteral("365 Days"));
    }

    void calculator_data()
    {
        QTest::addColumn<QDateTime>("purchase");
        QTest::addColumn<int>("duration");
        QTest::addColumn<QString>("increment");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("expiry");
        QTest::addColumn<int>("differenceMonths");
        QTest::addColumn<int>("differenceDays");
        QTest::addColumn<int>("origLengthMonths");
        QTest::addColumn<int>("origLengthDays");

        QTest::newRow("two years, half gone")
            << local(2024, 1, 15) << 2 << "Years" << local(2025, 1, 15) << local(2026, 1, 15) << 12 << 365 << 24 << 731;
        QTest::newRow("in the past counts negative") << local(2020, 1, 15) << 2 << "Years" << local(2024, 1, 15)
                                                     << local(2022, 1, 15) << -24 << -730 << 24 << 731;
        QTest::newRow("a month and three days") << local(2024, 1, 1, 0) << 34 << "Days" << local(2024, 1, 1, 0)
                                                << local(2024, 2, 4, 0) << 1 << 34 << 1 << 34;
        QTest::newRow("part of a day is no day")
            << local(2024, 1, 1) << 2 << "Days" << local(2024, 1, 1, 11) << local(2024, 1, 3) << 0 << 1 << 0 << 2;
        QTest::newRow("31 January plus a month")
            << local(2023, 1, 31) << 1 << "Months" << local(2023, 1, 31) << local(2023, 2, 28) << 1 << 28 << 1 << 28;
        QTest::newRow("6 weeks from 1 March")
            << local(2023, 3, 1) << 6 << "Weeks" << local(2023, 3, 1) << local(2023, 4, 12) << 1 << 42 << 1 << 42;
        QTest::newRow("29 February plus a year")
            << local(2024, 2, 29) << 1 << "Years" << local(2024, 2, 29) << local(2025, 2, 28) << 12 << 365 << 12 << 365;
        QTest::newRow("lifetime ends now")
            << local(2023, 11, 20) << 5 << "Lifetime" << local(2024, 2, 25) << local(2024, 2, 25) << 0 << 0 << 3 << 97;
        QTest::newRow("unknown increment ends now")
            << local(2024, 1, 1) << 5 << "Decades" << local(2024, 1, 11) << local(2024, 1, 11) << 0 << 0 << 0 << 10;
        // A calendar day across 10 March 2024 in New York is 23 hours long.
        QTest::newRow("days across summer time") << local(2024, 3, 9, 12) << 2 << "Days" << local(2024, 3, 9, 12)
                                                 << local(2024, 3, 11, 12) << 0 << 2 << 0 << 2;
        const QDateTime gapEnd(QDate(2027, 3, 14), QTime(7, 30), Qt::UTC); // 03:30 daylight time
        QTest::newRow("years into the spring gap") << local(2026, 3, 14, 2, 30) << 1 << "Years"
                                                   << local(2026, 3, 14, 2, 30) << gapEnd << 12 << 365 << 12 << 365;
        QTest::newRow("months into the spring gap")
            << local(2027, 2, 14, 2, 30) << 1 << "Months" << local(2027, 2, 14, 2, 30) << gapEnd << 1 << 28 << 1 << 28;
        QTest::newRow("a day into the spring gap")
            << local(2027, 3, 13, 2, 30) << 1 << "Days" << local(2027, 3, 13, 2, 30) << gapEnd << 0 << 1 << 0 << 1;
        QTest::newRow("back into the spring gap") << local(2027, 4, 14, 2, 30) << -1 << "Months"
                                                  << local(2027, 4, 14, 2, 30) << gapEnd << -1 << -31 << -1 << -31;
        const QDateTime firstOfTwo(QDate(2026, 11, 1), QTime(5, 30), Qt::UTC); // 01:30 daylight time
        const QDateTime secondOfTwo(QDate(2026, 11, 1), QTime(6, 30), Qt::UTC); // 01:30 standard time
        QTest::newRow("a day into the autumn overlap") << local(2026, 10, 31, 1, 30) << 1 << "Days"
                                                       << local(2026, 10, 31, 1, 30) << firstOfTwo << 0 << 1 << 0 << 1;
        QTest::newRow("a year into the autumn overlap")
            << local(2025, 11, 1, 1, 30) << 1 << "Years" << local(2025, 11, 1, 1, 30) << firstOfTwo << 12 << 365 << 12
            << 365;
        QTest::newRow("from the second of two equal hours")
            << secondOfTwo << 1 << "Weeks" << secondOfTwo << local(2026, 11, 8, 1, 30) << 0 << 7 << 0 << 7;
        QTest::newRow("negative duration") << local(2024, 6, 15) << -2 << "Months" << local(2024, 6, 15)
                                           << local(2024, 4, 15) << -2 << -61 << -2 << -61;
    }

    void calculator()
    {
        QFETCH(QDateTime, purchase);
        QFETCH(int, duration);
        QFETCH(QString, increment);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, expiry);
        QFETCH(int, differenceMonths);
        QFETCH(int, differenceDays);
        QFETCH(int, origLengthMonths);
        QFETCH(int, origLengthDays);

        Clock::setNow(now);
        const QVariantMap r = TBXWarrantyCalculator::calculateWarrantyFromPurchaseDate(purchase, duration, increment);
        QCOMPARE(r.value(QStringLiteral("expirationDate")).toDateTime(), expiry);
        QCOMPARE(r.value(QStringLiteral("differenceMonths")).toInt(), differenceMonths);
        QCOMPARE(r.value(QStringLiteral("differenceDays")).toInt(), differenceDays);
        QCOMPARE(r.value(QStringLiteral("origLengthMonths")).toInt(), origLengthMonths);
        QCOMPARE(r.value(QStringLiteral("origLengthDays")).toInt(), origLengthDays);
        QCOMPARE(r.value(QStringLiteral("differenceDays")).typeId(), int(QMetaType::Int));
    }

    void hugeLengthsStayInRange()
    {
        Clock::setNow(local(2024, 1, 1));
        const QVariantMap r = TBXWarrantyCalculator::calculateWarrantyFromPurchaseDate(local(2024, 1, 1), INT_MAX,
                                                                                       QStringLiteral("Years"));
        QVERIFY(r.value(QStringLiteral("expirationDate")).toDateTime().isValid());
        QCOMPARE(r.value(QStringLiteral("differenceDays")).toInt() > 0, true);
        Record *record = Record::from(m_context->insertNewObject(Record::Entity));
        record->setWarrantyLengthIncrement(QStringLiteral("Years"));
        record->setWarrantyLengthNumber(qlonglong(1) << 40);
        QCOMPARE(record->warrantyLevel(), 100.0);
        QVERIFY(record->expirationDate().endsWith(QLatin1String(" Days")));
    }
};

int main(int argc, char *argv[])
{
    qputenv("TZ", "America/New_York");
    tzset();
    QCoreApplication app(argc, argv);
    TestWarranty test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_warranty.moc"
