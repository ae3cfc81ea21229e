#include "records/RecordPackageFiles.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

// A static library's resources must be registered by name before use.
static void initRecordResources()
{
    Q_INIT_RESOURCE(records);
}

namespace {

RecordPackageFiles::Fetcher &installedFetcher()
{
    static RecordPackageFiles::Fetcher fetcher;
    return fetcher;
}

} // namespace

QString RecordPackageFiles::filesFolder(const QString &package, const QString &recordIDText)
{
    return QDir(package).filePath(QStringLiteral("Files/") + recordIDText);
}

QString RecordPackageFiles::thumbnailPath(const QString &package, const QString &recordIDText)
{
    return QDir(package).filePath(QStringLiteral("Thumbnails/") + recordIDText);
}

QByteArray RecordPackageFiles::placeholderImageData()
{
    static const QByteArray data = [] {
        initRecordResources();
        QFile file(QStringLiteral(":/records/camera.png"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    return data;
}

bool RecordPackageFiles::writeFile(const QString &path, const QByteArray &data, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

bool RecordPackageFiles::copyFile(const QString &from, const QString &to, QString *error)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(from, source.errorString());
        return false;
    }
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(to, target.errorString());
        return false;
    }
    QByteArray chunk;
    while (!(chunk = source.read(1 << 20)).isEmpty()) {
        if (target.write(chunk) != chunk.size())
            break;
    }
    if (source.error() != QFileDevice::NoError || !source.atEnd()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(from, source.errorString());
        target.cancelWriting();
        return false;
    }
    if (!target.commit()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(to, target.errorString());
        return false;
    }
    return true;
}

bool RecordPackageFiles::writeJpeg(const QImage &image, const QString &path, int quality, QString *error)
{
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("no picture");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image)) {
        if (error)
            *error = writer.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QDateTime RecordPackageFiles::creationDate(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const QDateTime born = info.birthTime();
    return (born.isValid() ? born : info.lastModified()).toUTC();
}

QByteArray RecordPackageFiles::fetch(const QUrl &url)
{
    if (const Fetcher &f = installedFetcher())
        return f(url);
    return defaultFetch(url);
}

void RecordPackageFiles::setFetcher(Fetcher fetcher)
{
    installedFetcher() = std::move(fetcher);
}

QByteArray RecordPackageFiles::defaultFetch(const QUrl &url, int timeoutMs)
{
    if (url.isLocalFile()) {
        QFile file(url.toLocalFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    if (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))
        return {};
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = manager.get(request);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(timeoutMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    const QByteArray data = reply->error() == QNetworkReply::NoError ? reply->readAll() : QByteArray();
    delete reply;
    return data;
}
