#include "CliTestSupport.h"
#include "base/Settings.h"

#include <QTemporaryDir>
#include <QTest>

class TestCli : public QObject
{
    Q_OBJECT

    int run(const QStringList &args, QString *out = nullptr, QString *err = nullptr)
    {
        return runCliCaptured(args, out, err);
    }

private slots:
    void init() { Settings::setFilePath(m_dir.filePath(QStringLiteral("s%1.ini").arg(++m_n))); }

    void settingsRoundTrip()
    {
        QString out;
        QCOMPARE(
            run({ QStringLiteral("settings"), QStringLiteral("set"), QStringLiteral("logLevel"), QStringLiteral("2") }),
            0);
        QCOMPARE(run({ QStringLiteral("settings"), QStringLiteral("get"), QStringLiteral("logLevel") }, &out), 0);
        QCOMPARE(out, QStringLiteral("2\n"));
        QCOMPARE(run({ QStringLiteral("settings"), QStringLiteral("list") }, &out), 0);
        QVERIFY(out.contains(QLatin1String("logLevel\t2\n")));
        QVERIFY(out.contains(QLatin1String("colorSchemeIndex\t(default 1)\n")));
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown key") << QStringList { "settings", "get", "nope" } << 2 << "Unknown setting";
        QTest::newRow("bad integer") << QStringList { "settings", "set", "logLevel", "x" } << 2 << "whole number";
        QTest::newRow("unknown command") << QStringList { "frobnicate" } << 2 << "Unknown command";
        QTest::newRow("unknown option") << QStringList { "--nope", "settings" } << 2 << "Unknown option";
        QTest::newRow("no command") << QStringList {} << 2 << "Usage";
        QTest::newRow("library without path") << QStringList { "--library" } << 2 << "needs a path";
    }

    void refusals()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);
        QString err;
        QCOMPARE(run(args, nullptr, &err), status);
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY(!Settings::contains(Settings::logLevel));
    }

    void help()
    {
        QString out;
        QCOMPARE(run({ QStringLiteral("--help") }, &out), 0);
        QVERIFY(out.contains(QLatin1String("settings get KEY")));
    }

private:
    QTemporaryDir m_dir;
    int m_n = 0;
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
