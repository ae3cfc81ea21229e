#include "exchange/CSVReader.h"

#include <QFile>
#include <QTest>

using Lines = QList<QStringList>;

// The CSV reader: its dialect options and what spreadsheet programs save.
class TestCSVReader : public QObject
{
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Lines>("lines");
        QTest::newRow("LF, last line ended") << QByteArray("a,b\nc,d\n") << Lines { { "a", "b" }, { "c", "d" } };
        QTest::newRow("last line not ended") << QByteArray("a,b\nc,d") << Lines { { "a", "b" }, { "c", "d" } };
        QTest::newRow("CRLF") << QByteArray("a,b\r\nc,d\r\n") << Lines { { "a", "b" }, { "c", "d" } };
        QTest::newRow("CR") << QByteArray("a,b\rc,d") << Lines { { "a", "b" }, { "c", "d" } };
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBFItem,Model\n") << Lines { { "Item", "Model" } };
        QTest::newRow("empty fields") << QByteArray(",,\n") << Lines { { "", "", "" } };
        QTest::newRow("separator at the very end") << QByteArray("a,") << Lines { { "a", "" } };
        QTest::newRow("empty lines skipped") << QByteArray("a\n\n\r\nb\n") << Lines { { "a" }, { "b" } };
        QTest::newRow("nothing") << QByteArray("") << Lines {};
        QTest::newRow("quoted comma") << QByteArray("\"a,b\",c") << Lines { { "a,b", "c" } };
        QTest::newRow("doubled quotes") << QByteArray("\"say \"\"hi\"\"\",x") << Lines { { "say \"hi\"", "x" } };
        QTest::newRow("quoted LF") << QByteArray("\"one\ntwo\",x\ny") << Lines { { "one\ntwo", "x" }, { "y" } };
        QTest::newRow("quoted CRLF becomes LF") << QByteArray("\"one\r\ntwo\"\r\n") << Lines { { "one\ntwo" } };
        QTest::newRow("empty quoted") << QByteArray("\"\",x") << Lines { { "", "x" } };
        QTest::newRow("trimmed") << QByteArray("  a \t,\t b  \n") << Lines { { "a", "b" } };
        QTest::newRow("spaces around quotes") << QByteArray(" \"a,b\" , c") << Lines { { "a,b", "c" } };
        QTest::newRow("escaped comma") << QByteArray("a\\,b,c") << Lines { { "a,b", "c" } };
        QTest::newRow("backslash in quotes is text")
            << QByteArray("\"C:\\dir\\\",\"say \\\"\"hi\"") << Lines { { "C:\\dir\\", "say \\\"hi" } };
        QTest::newRow("escaped backslash") << QByteArray("a\\\\b") << Lines { { "a\\b" } };
        QTest::newRow("other backslash kept") << QByteArray("C:\\temp,x") << Lines { { "C:\\temp", "x" } };
        QTest::newRow("bare quote inside a field") << QByteArray("12\" ruler") << Lines { { "12\" ruler" } };
        QTest::newRow("UTF-8") << QByteArray("Caf\xC3\xA9") << Lines { { QString("Caf") + QChar(0xE9) } };
    }
    void reads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Lines, lines);
        const CSVReader::Result result = CSVReader::read(bytes, {});
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.lines, lines);
    }

    void options_data()
    {
        QTest::addColumn<bool>("escapes");
        QTest::addColumn<bool>("sanitize");
        QTest::addColumn<bool>("trim");
        QTest::addColumn<QStringList>("fields");
        const QByteArray line = " \"a\"\"b\" ,c\\,d ";
        QTest::newRow("all") << true << true << true << QStringList { "a\"b", "c,d" };
        QTest::newRow("no escapes") << false << true << true << QStringList { "a\"b", "c\\", "d" };
        QTest::newRow("not sanitized") << true << false << true << QStringList { "\"a\"\"b\"", "c\\,d" };
        QTest::newRow("not trimmed") << true << true << false << QStringList { "a\"b", "c,d " };
        QTest::newRow("none") << false << false << false << QStringList { " \"a\"\"b\" ", "c\\", "d " };
    }
    void options()
    {
        QFETCH(bool, escapes);
        QFETCH(bool, sanitize);
        QFETCH(bool, trim);
        QFETCH(QStringList, fields);
        CSVReader::Options options;
        options.backslashEscapes = escapes;
        options.sanitize = sanitize;
        options.trim = trim;
        const CSVReader::Result result = CSVReader::read(" \"a\"\"b\" ,c\\,d ", options);
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.lines, Lines { fields });
    }

    void malformed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::newRow("quote not closed") << QByteArray("a,b\nc,\"d\ne\n") << 2;
        QTest::newRow("text after closing quote") << QByteArray("a\n\"b\"c,d\n") << 2;
        QTest::newRow("after a quoted line break") << QByteArray("\"a\nb\" x\n") << 2;
        QTest::newRow("not UTF-8") << QByteArray("a\nb\nc\xFF\n") << 3;
    }
    void malformed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        const CSVReader::Result result = CSVReader::read(bytes, {});
        QVERIFY(!result.ok());
        QCOMPARE(result.errorLine, line);
        QVERIFY(result.lines.isEmpty());
    }

    // As a spreadsheet program saves a sheet: a byte order mark, CRLF line ends,
    // quoted fields holding line breaks, no line end after the last line.
    void spreadsheetFile()
    {
        const CSVReader::Result result
            = CSVReader::readFile(QStringLiteral(STASHLY_TEST_DATA "/exchange/spreadsheet.csv"), {});
        QVERIFY2(result.ok(), qPrintable(result.error));
        QCOMPARE(result.lines,
                 (Lines { { "Item", "Purchase Price", "Notes" },
                          { "Kettle", "$1,234.56", "first\nsecond" },
                          { QString("Caf") + QChar(0xE9) + " table", "12.50", "say \"hi\"" } }));
    }

    void unreadableFile()
    {
        const CSVReader::Result result = CSVReader::readFile(QStringLiteral("/nonexistent/file.csv"), {});
        QVERIFY(!result.ok());
        QVERIFY(result.lines.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCSVReader)
#include "tst_csvreader.moc"
