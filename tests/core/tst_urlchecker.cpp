#include "core/URLChecker.h"

#include <QTest>

class TestURLChecker : public QObject
{
    Q_OBJECT

private slots:
    void validateURLString_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("address");
        QTest::newRow("host only") << "www.apple.com"
                                   << "http://www.apple.com";
        QTest::newRow("single word") << "apple"
                                     << "http://apple.com";
        QTest::newRow("http kept") << "http://example.org/a"
                                   << "http://example.org/a";
        QTest::newRow("https kept") << "https://shop.example.net"
                                    << "https://shop.example.net";
        QTest::newRow("scheme, word host") << "https://intranet/x"
                                           << "https://intranet.com/x";
        QTest::newRow("pieces follow") << "example.com/a/b/c.html"
                                       << "http://example.com/a/b/c.html";
        QTest::newRow("runs of slashes") << "http:////example.com//a///b/"
                                         << "http://example.com/a/b";
        QTest::newRow("leading slashes") << "//example.com"
                                         << "http://example.com";
        QTest::newRow("word then path") << "amazon/gp/help"
                                        << "http://amazon.com/gp/help";
        QTest::newRow("query kept") << "example.com/s?q=a&b=c"
                                    << "http://example.com/s?q=a&b=c";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("only slashes") << "///"
                                      << "";
        QTest::newRow("scheme without host") << "http://"
                                             << "";
        QTest::newRow("https without host") << "https:"
                                            << "";
        QTest::newRow("scheme in capitals") << "HTTP://Example.com/A"
                                            << "http://Example.com/A";
        QTest::newRow("blanks around") << "  example.com  "
                                       << "http://example.com";
        QTest::newRow("other scheme kept") << "ftp://files.example.com/x"
                                           << "ftp://files.example.com/x";
        QTest::newRow("mail address kept") << "mailto:help@example.com"
                                           << "mailto:help@example.com";
        QTest::newRow("host with port") << "example.com:8080/x"
                                        << "http://example.com:8080/x";
    }

    void validateURLString()
    {
        QFETCH(QString, typed);
        QFETCH(QString, address);
        QCOMPARE(URLChecker::validateURLString(typed), address);
    }
};

QTEST_GUILESS_MAIN(TestURLChecker)
#include "tst_urlchecker.moc"
