#pragma once

#include <QString>
#include <QStringList>

// The file manager's sidebar favourites: the GTK bookmarks file
// ($XDG_CONFIG_HOME/gtk-3.0/bookmarks), one "file:///path [label]" per line.
namespace SidebarFavorites {

QString bookmarksPath();
QStringList paths();
bool add(const QString &path);
// Removes the first bookmark whose last path component is `name`. Returns
// whether one was removed.
bool removeFirstNamed(const QString &name);

} // namespace SidebarFavorites
