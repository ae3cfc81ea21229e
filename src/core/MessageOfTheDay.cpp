#include "core/MessageOfTheDay.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

MessageOfTheDay::MessageOfTheDay(QObject *parent)
    : QObject(parent)
    , m_network(new QNetworkAccessManager(this))
{
}

std::optional<MessageOfTheDay::Message> MessageOfTheDay::parse(const QString &body, int buildNumber)
{
    if (body.trimmed().isEmpty())
        return std::nullopt;
    const QStringList parts = body.split(QStringLiteral("###"));
    bool ok = false;
    const int minimumBuild = parts.value(0).trimmed().toInt(&ok);
    // A message without a readable build number or without text is not shown.
    if (!ok || parts.size() < 2 || parts.at(1).trimmed().isEmpty())
        return std::nullopt;
    if (buildNumber < minimumBuild)
        return std::nullopt;
    Message message { parts.at(1).trimmed(), QUrl(parts.value(2).trimmed()) };
    return message;
}

void MessageOfTheDay::fetch(const QUrl &address, int buildNumber)
{
    if (address.isEmpty() || !address.isValid()) {
        emit finished();
        return;
    }
    QNetworkRequest request(address);
    request.setTransferTimeout(TimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = m_network->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, buildNumber] {
        reply->deleteLater();
        if (reply->error() == QNetworkReply::NoError) {
            // The message is plain ASCII text; read at most a few kilobytes of it.
            const QString body = QString::fromLatin1(reply->read(64 * 1024));
            if (const auto message = parse(body, buildNumber))
                emit arrived(*message);
        }
        emit finished();
    });
}
