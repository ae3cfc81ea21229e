#include "CliTestSupport.h"
#include "base/Settings.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

// stashly-cli add, set and show, and the defaults of a library the command
// line creates.
class TestRecordCommands : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_library;

    int run(QStringList args, QString *out = nullptr, QString *err = nullptr)
    {
        return runCliOn(m_library, args, out, err);
    }

    QJsonObject show(const QString &id)
    {
        QString out, err;
        if (run({ QStringLiteral("show"), id }, &out, &err) != 0)
            qWarning("show failed: %s", qPrintable(err));
        return QJsonDocument::fromJson(out.toUtf8()).object();
    }

    QString add(const QStringList &args)
    {
        QString out, err;
        const int status = run(QStringList { QStringLiteral("add") } + args, &out, &err);
        if (status != 0)
            qWarning("add failed: %s", qPrintable(err));
        return out.trimmed();
    }

private slots:
    void init()
    {
        Settings::setFilePath(m_dir.filePath(QStringLiteral("settings.ini")));
        m_library = m_dir.filePath(QStringLiteral("Test.stashlyd"));
        QDir(m_library).removeRecursively();
    }

    void newLibraryGetsItsDefaults()
    {
        QString out, err;
        // Reading makes nothing.
        QCOMPARE(run({ QStringLiteral("info") }, &out, &err), 1);
        QVERIFY2(err.startsWith(QStringLiteral("There is no library at %1").arg(m_library)), qPrintable(err));
        QVERIFY(!QFileInfo::exists(m_library));
        QVERIFY(!add({}).isEmpty());
        QCOMPARE(run({ QStringLiteral("info") }, &out), 0);
        // The twelve default categories and "Unfiled" of the new record.
        for (const char *line : { "Location: 2", "Currency: 1", "PaymentMethod: 3", "SmartFolder: 2", "Category: 13",
                                  "Group: 8", "Record: 1", "Tag: 0" })
            QVERIFY2(out.contains(QLatin1String(line) + QLatin1Char('\n')), line);
        // Opening it again adds no defaults.
        QVERIFY(!add({}).isEmpty());
        QCOMPARE(run({ QStringLiteral("info") }, &out), 0);
        QVERIFY(out.contains(QLatin1String("Category: 13\n")));
    }

    void addMakesARecordLikeNewRecord()
    {
        const QString id = add({});
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d+\\.\\d{6}$")).match(id).hasMatch(), qPrintable(id));
        QVERIFY(QFileInfo(QDir(m_library).filePath(QStringLiteral("Files/") + id)).isDir());
        QVERIFY(QFileInfo(QDir(m_library).filePath(QStringLiteral("Thumbnails/") + id)).isFile());
        const QJsonObject r = show(id);
        QCOMPARE(r.value(QStringLiteral("item")).toString(), QStringLiteral("New Item"));
        QCOMPARE(r.value(QStringLiteral("category")).toString(), QStringLiteral("Unfiled"));
        QCOMPARE(r.value(QStringLiteral("location")).toString(), QStringLiteral("Home"));
        QCOMPARE(r.value(QStringLiteral("paymentMethod")).toString(), QStringLiteral("Cash"));
        QCOMPARE(r.value(QStringLiteral("currency")).toString(), Settings::text(Settings::defaultCurrencySymbol));
        QCOMPARE(r.value(QStringLiteral("model")).toString(QStringLiteral("missing")), QString());
        QVERIFY(r.value(QStringLiteral("serialNumber")).isNull());
        QVERIFY(r.value(QStringLiteral("notes")).isNull());
        QCOMPARE(r.value(QStringLiteral("warrantyLevel")).toDouble(-1), 0.0);
        QCOMPARE(r.value(QStringLiteral("expirationDate")).toString(), QStringLiteral("0 Days"));
        QCOMPARE(recordIDTextOf(r), id);
        QVERIFY(r.value(QStringLiteral("purchaseDate")).toString().endsWith(QLatin1Char('Z')));
        QVERIFY(r.value(QStringLiteral("customField")).isArray());
        for (const char *key : { "recordID", "item", "purchaseDate", "warrantyLevel", "expirationDate", "tags", "notes",
                                 "imageUID", "insured", "recordQty" })
            QVERIFY2(r.contains(QLatin1String(key)), key);
    }

    void attributesByType()
    {
        const QString id
            = add({ "--category", "Tools", "item=Desk lamp", "purchaseDate=2024-01-15", "warrantyLengthNumber=50",
                    "warrantyLengthIncrement=Years", "insured=true", "purchasePrice=12.5", "recordQty=3",
                    "notes=Blue lamp\nwith shade", "dateAdded=2024-01-15T10:30:00Z", "tags=red,desk" });
        QVERIFY(!id.isEmpty());
        QJsonObject r = show(id);
        QCOMPARE(r.value(QStringLiteral("item")).toString(), QStringLiteral("Desk lamp"));
        QCOMPARE(r.value(QStringLiteral("category")).toString(), QStringLiteral("Tools"));
        QCOMPARE(r.value(QStringLiteral("purchaseDate")).toString(),
                 QDate(2024, 1, 15).startOfDay().toUTC().toString(Qt::ISODate));
        QCOMPARE(r.value(QStringLiteral("dateAdded")).toString(), QStringLiteral("2024-01-15T10:30:00Z"));
        QCOMPARE(r.value(QStringLiteral("insured")), QJsonValue(true));
        QCOMPARE(r.value(QStringLiteral("purchasePrice")), QJsonValue(12.5));
        QCOMPARE(r.value(QStringLiteral("recordQty")), QJsonValue(3));
        QCOMPARE(r.value(QStringLiteral("notes")).toString(), QStringLiteral("Blue lamp\nwith shade"));
        QCOMPARE(r.value(QStringLiteral("tags")).toString(), QStringLiteral("red,desk"));
        QVERIFY(r.value(QStringLiteral("expirationDate")).toString().endsWith(QLatin1String(" Days")));
        QVERIFY(r.value(QStringLiteral("warrantyLevel")).toDouble() > 0);

        QCOMPARE(run({ "set", id, "model=X1", "purchasePrice=", "insured=false", "warrantyLengthIncrement=Lifetime" }),
                 0);
        r = show(id);
        QCOMPARE(r.value(QStringLiteral("model")).toString(), QStringLiteral("X1"));
        QVERIFY(r.value(QStringLiteral("purchasePrice")).isNull());
        QCOMPARE(r.value(QStringLiteral("insured")), QJsonValue(false));
        QCOMPARE(r.value(QStringLiteral("expirationDate")).toString(), QStringLiteral("Lifetime"));
        QCOMPARE(r.value(QStringLiteral("warrantyLevel")), QJsonValue(100));
        // The number may be written without the trailing zeros of its text.
        QCOMPARE(recordIDTextOf(show(QString::number(id.toDouble(), 'g', 17))), id);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");

        QTest::newRow("unknown attribute") << QStringList { "add", "colour=red" } << 2 << "no attribute \"colour\"";
        QTest::newRow("not KEY=VALUE") << QStringList { "add", "item" } << 2 << "Expected KEY=VALUE";
        QTest::newRow("whole number") << QStringList { "add", "recordQty=two" } << 2 << "takes a whole number";
        QTest::newRow("number") << QStringList { "add", "purchasePrice=12,50" } << 2 << "takes a number";
        QTest::newRow("boolean") << QStringList { "add", "insured=yes" } << 2 << "takes true or false";
        QTest::newRow("date") << QStringList { "add", "purchaseDate=15/01/2024" } << 2 << "ISO 8601";
        QTest::newRow("record number") << QStringList { "add", "recordID=5" } << 2 << "cannot be set";
        QTest::newRow("unknown category")
            << QStringList { "add", "--category", "Boats" } << 2 << "no category \"Boats\"";
        QTest::newRow("set: bad value among good")
            << QStringList { "set", "@ID@", "item=Chair", "recordQty=x" } << 2 << "takes a whole number";
        // Values out of the attribute limits, with nothing stored.
        QTest::newRow("negative quantity")
            << QStringList { "add", "recordQty=-1" } << 2 << "recordQty takes a whole number from 0 to 999999, not -1";
        QTest::newRow("quantity above the top")
            << QStringList { "add", "recordQty=1000000" } << 2 << "from 0 to 999999";
        QTest::newRow("negative condition")
            << QStringList { "add", "condition=-5" } << 2 << "condition takes a whole number from 0 to 5, not -5";
        QTest::newRow("condition 6") << QStringList { "add", "item=Six", "condition=6" } << 2 << "from 0 to 5";
        QTest::newRow("label 999") << QStringList { "add", "labelIndex=999" } << 2
                                   << "labelIndex takes a whole number from 0 to 7, not 999";
        QTest::newRow("label 8") << QStringList { "add", "labelIndex=8" } << 2 << "from 0 to 7";
        QTest::newRow("unknown increment")
            << QStringList { "add", "warrantyLengthIncrement=Bogus" } << 2
            << "warrantyLengthIncrement takes one of Days, Weeks, Months, Years, Lifetime, not \"Bogus\"";
        QTest::newRow("increment in lower case")
            << QStringList { "add", "xWarrantyLengthIncrement=years" } << 2 << "not \"years\"";
        QTest::newRow("warranty too long")
            << QStringList { "add", "warrantyLengthNumber=10000" } << 2 << "from 0 to 9999";
        QTest::newRow("level above 100") << QStringList { "add", "warrantyLevel=101" } << 2
                                         << "warrantyLevel takes a number from 0 to 100";
        QTest::newRow("set: label among good values")
            << QStringList { "set", "@ID@", "item=Chair", "labelIndex=12", "condition=3" } << 2 << "from 0 to 7";
        QTest::newRow("set: unknown increment")
            << QStringList { "set", "@ID@", "xWarrantyLengthIncrement=Decades" } << 2 << "not \"Decades\"";
        QTest::newRow("set: unknown record") << QStringList { "set", "12.5", "item=Chair" } << 1 << "no record 12.5";
        QTest::newRow("show: unknown record") << QStringList { "show", "nonsense" } << 1 << "no record nonsense";
        QTest::newRow("show: usage") << QStringList { "show" } << 2 << "Usage";
    }

    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        const QString id = add({ "item=Table" });
        args.replaceInStrings(QStringLiteral("@ID@"), id);
        QString before;
        run({ QStringLiteral("query"), QStringLiteral("Record") }, &before);
        QString err;
        QCOMPARE(run(args, nullptr, &err), status);
        QVERIFY2(err.contains(message), qPrintable(err));
        QCOMPARE(err.count(QLatin1Char('\n')), 1);
        QString after;
        run({ QStringLiteral("query"), QStringLiteral("Record") }, &after);
        QCOMPARE(after, before); // nothing changed
        QCOMPARE(show(id).value(QStringLiteral("item")).toString(), QStringLiteral("Table"));
    }

    // The values at the ends of each range, and every increment, are taken.
    void limitsAccepted_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QJsonValue>("stored");

        QTest::newRow("no quantity") << "recordQty"
                                     << "0" << QJsonValue(0);
        QTest::newRow("largest quantity") << "recordQty"
                                          << "999999" << QJsonValue(999999);
        QTest::newRow("condition 0") << "condition"
                                     << "0" << QJsonValue(0);
        QTest::newRow("condition 5") << "condition"
                                     << "5" << QJsonValue(5);
        QTest::newRow("no label") << "labelIndex"
                                  << "0" << QJsonValue(0);
        QTest::newRow("last label") << "labelIndex"
                                    << "7" << QJsonValue(7);
        QTest::newRow("longest warranty") << "xWarrantyLengthNumber"
                                          << "9999" << QJsonValue(9999);
        for (const char *increment : { "Days", "Weeks", "Months", "Years", "Lifetime" })
            QTest::newRow(increment) << "warrantyLengthIncrement" << increment << QJsonValue(increment);
        QTest::newRow("cleared increment") << "warrantyLengthIncrement"
                                           << "" << QJsonValue(QJsonValue::Null);
        QTest::newRow("cleared condition") << "condition"
                                           << "" << QJsonValue(QJsonValue::Null);
    }

    void limitsAccepted()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QJsonValue, stored);
        const QString id = add({ "item=Table" });
        QString err;
        QCOMPARE(run({ "set", id, key + QLatin1Char('=') + value }, nullptr, &err), 0);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QCOMPARE(show(id).value(key), stored);
    }

private:
    static QString recordIDTextOf(const QJsonObject &r)
    {
        return QString::number(r.value(QStringLiteral("recordID")).toDouble(), 'f', 6);
    }
};

QTEST_GUILESS_MAIN(TestRecordCommands)
#include "tst_recordcommands.moc"
