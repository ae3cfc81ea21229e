#include "base/Workspace.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace Workspace {

bool openFile(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool openUrl(const QUrl &url)
{
    return QDesktopServices::openUrl(url);
}

bool moveToTrash(const QString &path)
{
    return QFile::moveToTrash(path);
}

qint64 freeSpace(const QString &path)
{
    QFileInfo info(path);
    while (!info.exists()) {
        const QString parent = info.absolutePath();
        if (parent == info.absoluteFilePath())
            return -1;
        info = QFileInfo(parent);
    }
    QStorageInfo storage(info.absoluteFilePath());
    return storage.isValid() ? storage.bytesAvailable() : -1;
}

} // namespace Workspace
