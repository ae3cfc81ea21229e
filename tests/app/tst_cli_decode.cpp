// stashly-cli decode: pictures in, "path<TAB>digits" out.

#include "CliTestSupport.h"
#include "cli/ImageFileLoader.h"

#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

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
        text.close();
        QCOMPARE(::mkfifo(QFile::encodeName(m_dir.filePath(QStringLiteral("pipe.jpg"))).constData(), 0600), 0);
        QVERIFY(QFile::link(m_dir.filePath(QStringLiteral("pipe.jpg")), m_dir.filePath(QStringLiteral("to-pipe.jpg"))));
        QVERIFY(QFile::link(photo("barcodes/zxing-ean13-1/4.webp"), m_dir.filePath(QStringLiteral("to-photo.webp"))));
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("album.jpg")));
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
            << QStringList() << QStringList { ean, upc, none }
            << QStringList { ean + "\t5449000039231", upc + "\t0023942431015", none + "\t" } << 0 << 0;
        QTest::newRow("unreadable files do not stop the others")
            << QStringList() << QStringList { broken, ean, missing } << QStringList { ean + "\t5449000039231" } << 2
            << 2;
        const QString link = m_dir.filePath(QStringLiteral("to-photo.webp"));
        QTest::newRow("through a symbolic link")
            << QStringList() << QStringList { link } << QStringList { link + "\t5449000039231" } << 0 << 0;
        QTest::newRow("raw picture") << QStringList { "--raw" } << QStringList { ean }
                                     << QStringList { ean + "\t5449000039231" } << 0 << 0;
        QTest::newRow("strict, nothing on a photo without a code")
            << QStringList { "--strict" } << QStringList { none } << QStringList { none + "\t" } << 0 << 0;
    }

    void decode()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, files);
        QFETCH(QStringList, lines);
        QFETCH(int, status);
        QFETCH(int, errors);
        QString out, err;
        QCOMPARE(run(QStringList { "decode" } + options + files, &out, &err), status);
        QCOMPARE(out, lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        QCOMPARE(int(err.count(QLatin1String("Cannot read the image"))), errors);
    }

    // Only regular files are opened: a named pipe would wait for a writer for
    // ever. Each runs in a child process that is ended if it does not finish,
    // so that a wait fails the test instead of stalling it.
    void notRegularFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("named pipe") << m_dir.filePath(QStringLiteral("pipe.jpg"))
                                    << "it is a named pipe, not a regular file";
        QTest::newRow("link to a named pipe")
            << m_dir.filePath(QStringLiteral("to-pipe.jpg")) << "it is a named pipe, not a regular file";
        QTest::newRow("folder") << m_dir.filePath(QStringLiteral("album.jpg")) << "it is a folder";
        QTest::newRow("device") << "/dev/zero"
                                << "it is a device, not a regular file";
        QTest::newRow("missing") << m_dir.filePath(QStringLiteral("missing.jpg")) << "there is no such file";
    }

    void notRegularFiles()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        const QString ean = photo("barcodes/zxing-ean13-1/4.webp");
        QProcess cli;
        cli.start(QStringLiteral(STASHLY_BINARY_DIR "/src/app/stashly-cli"), { "decode", path, ean });
        QVERIFY2(cli.waitForStarted(), qPrintable(cli.errorString()));
        if (!cli.waitForFinished(60000)) {
            cli.kill();
            cli.waitForFinished();
            QFAIL("decode was still waiting on the file");
        }
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 2);
        // The pictures after it are still decoded.
        QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()), ean + "\t5449000039231\n");
        QCOMPARE(QString::fromUtf8(cli.readAllStandardError()),
                 "Cannot read the image \"" + path + "\": " + reason + '\n');
    }

    // A phone photo of 48 megapixels is more than a whole read may allocate:
    // it is scaled down while it is read and still gives its code.
    void largePhoto_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QSize>("size");
        QTest::newRow("JPEG 8000 x 6000") << "jpg" << QSize(8000, 6000);
        QTest::newRow("PNG 7200 x 5400") << "png" << QSize(7200, 5400);
    }

    void largePhoto()
    {
        QFETCH(QString, format);
        QFETCH(QSize, size);
        const QString path = m_dir.filePath(QStringLiteral("large.") + format);
        {
            const QImage scaled = QImage(photo("barcodes/zxing-ean13-1/4.webp"))
                                      .convertToFormat(QImage::Format_RGB888)
                                      .scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            QVERIFY(scaled.save(path, nullptr, format == QLatin1String("jpg") ? 90 : -1));
        }
        QImageReader whole(path);
        QCOMPARE(whole.size(), size);
        QVERIFY2(whole.read().isNull(), "the photo is small enough to be read whole");

        const ImageFileLoader::Result loaded = ImageFileLoader::load(path);
        QVERIFY2(loaded.error.isEmpty(), qPrintable(loaded.error));
        QCOMPARE(loaded.image.size(), size / 2);
        QString out, err;
        QCOMPARE(run({ "decode", path }, &out, &err), 0);
        QCOMPARE(out, path + "\t5449000039231\n");
        QVERIFY2(err.isEmpty(), qPrintable(err));
        QFile::remove(path);
    }

    // Pictures within the bound are read exactly as a plain read gives them, so
    // that every result they gave stays the same.
    void picturesWithinTheBoundAreReadAsTheyAre()
    {
        QDirIterator it(QStringLiteral(STASHLY_SHARED_DIR "/testdata"), { "*.png", "*.jpg", "*.webp" }, QDir::Files,
                        QDirIterator::Subdirectories);
        int read = 0;
        while (it.hasNext()) {
            const QString path = it.next();
            const ImageFileLoader::Result loaded = ImageFileLoader::load(path);
            QVERIFY2(loaded.error.isEmpty(), qPrintable(path + ": " + loaded.error));
            QVERIFY2(loaded.image == QImageReader(path).read(), qPrintable(path));
            ++read;
        }
        QVERIFY(read > 0);
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no picture") << QStringList { "decode" };
        QTest::newRow("options only") << QStringList { "decode", "--strict", "--raw" };
        QTest::newRow("unknown option") << QStringList { "decode", "--fast", "x.png" };
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
