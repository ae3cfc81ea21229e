#include "core/MessageOfTheDay.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// A one-page HTTP server on 127.0.0.1; with `silent` it accepts and never answers.
class TinyServer : public QTcpServer
{
public:
    TinyServer(const QByteArray &body, bool silent)
        : m_body(body)
        , m_silent(silent)
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [this, s] {
                s->readAll();
                if (m_silent)
                    return;
                s->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
                         + QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n" + m_body);
                s->disconnectFromHost();
            });
        });
        listen(QHostAddress::LocalHost);
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/motd").arg(serverPort())); }

private:
    QByteArray m_body;
    bool m_silent;
};

class TestMessageOfTheDay : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("build");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("link");
        QTest::newRow("for every build") << "0###Hello###https://example.org/a" << 5 << true << "Hello"
                                         << "https://example.org/a";
        QTest::newRow("same build") << "5###Hi###https://x.org" << 5 << true << "Hi"
                                    << "https://x.org";
        QTest::newRow("newer than us") << "6###Later###https://x.org" << 5 << false << ""
                                       << "";
        QTest::newRow("no link") << "1###Just text" << 5 << true << "Just text"
                                 << "";
        QTest::newRow("empty") << "" << 5 << false << ""
                               << "";
        QTest::newRow("no separator") << "hello world" << 5 << false << ""
                                      << "";
        QTest::newRow("empty message") << "1######https://x.org" << 5 << false << ""
                                       << "";
    }

    void parse()
    {
        QFETCH(QString, body);
        QFETCH(int, build);
        QFETCH(bool, shown);
        QFETCH(QString, text);
        QFETCH(QString, link);
        const auto message = MessageOfTheDay::parse(body, build);
        QCOMPARE(message.has_value(), shown);
        if (message) {
            QCOMPARE(message->text, text);
            QCOMPARE(message->link.toString(), link);
        }
    }

    void fetchesFromServer()
    {
        TinyServer server("0###Welcome back###https://example.org/news", false);
        MessageOfTheDay motd;
        QSignalSpy arrived(&motd, &MessageOfTheDay::arrived);
        QSignalSpy finished(&motd, &MessageOfTheDay::finished);
        motd.fetch(server.url(), 1);
        QVERIFY(finished.wait(10000));
        QCOMPARE(arrived.size(), 1);
        QCOMPARE(arrived.first().first().value<MessageOfTheDay::Message>().text, QStringLiteral("Welcome back"));
    }

    void silentServerTimesOut()
    {
        TinyServer server(QByteArray(), true);
        MessageOfTheDay motd;
        QSignalSpy arrived(&motd, &MessageOfTheDay::arrived);
        QSignalSpy finished(&motd, &MessageOfTheDay::finished);
        motd.fetch(server.url(), 1);
        QVERIFY(finished.wait(MessageOfTheDay::TimeoutMs + 5000));
        QCOMPARE(arrived.size(), 0);
    }

    void emptyAddressFetchesNothing()
    {
        MessageOfTheDay motd;
        QSignalSpy finished(&motd, &MessageOfTheDay::finished);
        motd.fetch(QUrl(), 1);
        QCOMPARE(finished.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestMessageOfTheDay)
#include "tst_messageoftheday.moc"
