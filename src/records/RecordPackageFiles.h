#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QUrl>

#include <functional>

// The files a record owns in the library package, and the small file jobs of
// record creation. Every file is written through QSaveFile, so a failure never
// leaves half a file behind.
class RecordPackageFiles
{
public:
    // Package/Files/<recordID text> and Package/Thumbnails/<recordID text>.
    static QString filesFolder(const QString &package, const QString &recordIDText);
    static QString thumbnailPath(const QString &package, const QString &recordIDText);

    // The placeholder picture of new records ("camera.png").
    static QByteArray placeholderImageData();

    // Writes `data` to `path`; false with the reason in `error`.
    static bool writeFile(const QString &path, const QByteArray &data, QString *error);
    // Copies the file at `from` to `to` (replacing it); false with the reason in `error`.
    static bool copyFile(const QString &from, const QString &to, QString *error);
    // Writes `image` as JPEG with `quality` (0 smallest file, 100 best picture).
    static bool writeJpeg(const QImage &image, const QString &path, int quality, QString *error);

    // The file's creation date as the file system reports it; its last change
    // where the file system keeps no creation date; none when it cannot be read.
    static QDateTime creationDate(const QString &path);

    // The bytes at an address: a local file, or an HTTP(S) fetch that gives up
    // after `timeoutMs`. Empty on failure. Tests install another fetcher.
    using Fetcher = std::function<QByteArray(const QUrl &)>;
    static QByteArray fetch(const QUrl &url);
    static void setFetcher(Fetcher fetcher);
    static QByteArray defaultFetch(const QUrl &url, int timeoutMs = 30000);
};
