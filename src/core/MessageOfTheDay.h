#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;

// The message of the day: "build###message###link" fetched from the message
// centre at launch. Empty address: nothing is fetched. The fetch never blocks
// the launch and gives up after five seconds.
class MessageOfTheDay : public QObject
{
    Q_OBJECT

public:
    struct Message
    {
        QString text;
        QUrl link;
    };

    explicit MessageOfTheDay(QObject *parent = nullptr);

    // What to show to a program of `buildNumber` for a fetched `body`; nothing
    // for an empty body, an unreadable build field or a newer message.
    static std::optional<Message> parse(const QString &body, int buildNumber);

    // Starts the fetch; `arrived` follows only when there is something to show.
    void fetch(const QUrl &address, int buildNumber);

    static constexpr int TimeoutMs = 5000;

signals:
    void arrived(const MessageOfTheDay::Message &message);
    void finished();

private:
    QNetworkAccessManager *m_network = nullptr;
};
Q_DECLARE_METATYPE(MessageOfTheDay::Message)
