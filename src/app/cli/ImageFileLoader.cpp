#include "ImageFileLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// Empty for a regular file; otherwise what it is.
QString notRegular(const struct stat &status)
{
    const mode_t mode = status.st_mode;
    if (S_ISREG(mode))
        return QString();
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a named pipe, not a regular file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, not a regular file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a regular file");
    return QStringLiteral("it is not a regular file");
}
#endif

// Opens `file` for reading when `path` is a regular file (symbolic links
// followed); otherwise says why not.
QString openRegularFile(QFile &file, const QString &path)
{
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::stat(name.constData(), &status) != 0)
        return errno == ENOENT ? QStringLiteral("there is no such file") : QString::fromLocal8Bit(std::strerror(errno));
    if (QString kind = notRegular(status); !kind.isEmpty())
        return kind;
    // Opened without waiting and checked again: a file swapped for a pipe
    // since the check above must not block the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (::fstat(fd, &status) != 0 || !notRegular(status).isEmpty()) {
        ::close(fd);
        return QStringLiteral("it is not a regular file");
    }
    // Reads of a regular file never wait, so the descriptor stays as it is.
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return QString();
#else
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("there is no such file");
    if (info.isDir())
        return QStringLiteral("it is a folder");
    if (!info.isFile())
        return QStringLiteral("it is not a regular file");
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
#endif
}

// What the reader would allocate for the whole picture: rows padded to four
// bytes, as images hold them.
qint64 bytesOf(const QSize &size, QImage::Format format)
{
    const int bits = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
    const qint64 bytesPerLine = (qint64(size.width()) * bits + 31) / 32 * 4;
    return bytesPerLine * size.height();
}

} // namespace

ImageFileLoader::Result ImageFileLoader::load(const QString &path)
{
    Result result;
    QFile file(path);
    result.error = openRegularFile(file, path);
    if (!result.error.isEmpty())
        return result;
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (size.isValid()) {
        const qint64 bytes = bytesOf(size, reader.imageFormat());
        if (bytes > maximumBytes) {
            // Halving steps are the reductions a JPEG decodes at directly.
            int reduction = 2;
            while (reduction < largestReduction && bytes / (qint64(reduction) * reduction) > maximumBytes)
                reduction *= 2;
            if (bytes / (qint64(reduction) * reduction) > maximumBytes) {
                result.error = QStringLiteral("at %1 x %2 pixels it is too large").arg(size.width()).arg(size.height());
                return result;
            }
            // A reader that cannot scale while reading would hold the whole picture first.
            if (!reader.supportsOption(QImageIOHandler::ScaledSize)) {
                result.error = QStringLiteral("at %1 x %2 pixels a %3 picture is too large to read")
                                   .arg(size.width())
                                   .arg(size.height())
                                   .arg(QString::fromLatin1(reader.format().toUpper()));
                return result;
            }
            reader.setScaledSize(
                QSize((size.width() + reduction - 1) / reduction, (size.height() + reduction - 1) / reduction));
        }
    }
    result.image = reader.read();
    if (result.image.isNull())
        result.error = reader.errorString();
    return result;
}
