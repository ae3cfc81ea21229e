#include "base/SidebarFavorites.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

namespace {

QStringList readLines()
{
    QFile file(SidebarFavorites::bookmarksPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool writeLines(const QStringList &lines)
{
    const QString path = SidebarFavorites::bookmarksPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString &line : lines)
        file.write((line + QLatin1Char('\n')).toUtf8());
    return file.commit();
}

QString pathOfLine(const QString &line)
{
    const QString address = line.section(QLatin1Char(' '), 0, 0);
    const QUrl url(address);
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

} // namespace

namespace SidebarFavorites {

QString bookmarksPath()
{
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(QStringLiteral("gtk-3.0/bookmarks"));
}

QStringList paths()
{
    QStringList result;
    for (const QString &line : readLines()) {
        const QString p = pathOfLine(line);
        if (!p.isEmpty())
            result.append(p);
    }
    return result;
}

bool add(const QString &path)
{
    QStringList lines = readLines();
    lines.append(QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()));
    return writeLines(lines);
}

bool removeFirstNamed(const QString &name)
{
    QStringList lines = readLines();
    for (int i = 0; i < lines.size(); ++i) {
        const QString p = pathOfLine(lines.at(i));
        if (!p.isEmpty() && QFileInfo(QDir::cleanPath(p)).fileName() == name) {
            lines.removeAt(i);
            return writeLines(lines);
        }
    }
    return false;
}

} // namespace SidebarFavorites
