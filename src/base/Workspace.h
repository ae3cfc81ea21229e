#pragma once

#include <QString>
#include <QUrl>

// Desktop services: opening files and addresses in the user's programs, the
// trash, and free space of a volume.
namespace Workspace {

bool openFile(const QString &path);
bool openUrl(const QUrl &url);
// Moves a file or folder to the trash; returns false when it stays where it was.
bool moveToTrash(const QString &path);
// Bytes free for the user on the volume holding `path` (or its nearest existing parent); -1 if unknown.
qint64 freeSpace(const QString &path);

} // namespace Workspace
