// stashly-cli decode: pictures in, "path<TAB>digits" out.

#include "CliTestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestCliDecode : public QObject
{
    Q_OBJECT

    static QString photo(const char *name)
    {
        return QStringLiteral(STASHLY_SHARED_DIR "/testdata/") + QLatin1String(name);
    }

    int run(const QStringList &args, QString *out = nullptr, QString *err = nullptr)
    {
        return runCliCaptured(args, out, err);
    }

private slots:
    void initTestCase()
    {
        if (!QFile::exists(photo("barcodes/zxing-ean13-1/4.webp")))
            QSKIP("the shared test photos are not available");
        QVERIFY(m_dir.isValid());
        QFile text(m_dir.filePath(QStringLiteral("notes.png")));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture\n");
    }

    void decode_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("errors");
        const QString ean = photo("barcodes/zxing-ean13-1/4.webp");
        const QString upc = photo("barcodes/zxing-upca-4/1.webp");
        const QString none = photo("no-barcode/falsepositives-01.jpg");
        const QString broken = m_dir.filePath(QStringLiteral("notes.png"));
        const QString missing = m_dir.filePath(QStringLiteral("missing.jpg"));
        QTest::newRow("codes and a photo without")
            << QStringList() << QStringList{ean, upc, none}
            << QStringList{ean + "\t5449000039231", upc + "\t0023942431015", none + "\t"} << 0 << 0;
        QTest::newRow("unreadable files do not stop the others")
            << QStringList() << QStringList{broken, ean, missing}
            << QStringList{ean + "\t5449000039231"} << 2 << 2;
        QTest::newRow("raw picture") << QStringList{"--raw"} << QStringList{ean}
                                     << QStringList{ean + "\t5449000039231"} << 0 << 0;
        QTest::newRow("strict, nothing on a photo without a code")
            << QStringList{"--strict"} << QStringList{none} << QStringList{none + "\t"} << 0 << 0;
    }

    void decode()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, files);
        QFETCH(QStringList, lines);
        QFETCH(int, status);
        QFETCH(int, errors);
        QString out, err;
        QCOMPARE(run(QStringList{"decode"} + options + files, &out, &err), status);
        QCOMPARE(out, lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        QCOMPARE(int(err.count(QLatin1String("Cannot read the image"))), errors);
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no picture") << QStringList{"decode"};
        QTest::newRow("options only") << QStringList{"decode", "--strict", "--raw"};
        QTest::newRow("unknown option") << QStringList{"decode", "--fast", "x.png"};
    }

    void usage()
    {
        QFETCH(QStringList, args);
        QString out, err;
        QCOMPARE(run(args, &out, &err), 2);
        QVERIFY(out.isEmpty());
        QVERIFY2(err.contains(QLatin1String("stashly-cli decode [--strict] [--raw] IMAGE")), qPrintable(err));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliDecode)
#include "tst_cli_decode.moc"
