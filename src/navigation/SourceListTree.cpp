#include "navigation/SourceListTree.h"

SourceListTree::SourceListTree()
{
    const auto make = [this](Group group, const QString &identifier, const QString &title) {
        m_headers[size_t(group)] = std::make_unique<SourceListItem>(identifier, title);
    };
    make(Group::Library, SourceListItem::libraryIdentifier, SourceListItem::allRecordsHeaderTitle);
    make(Group::Categories, SourceListItem::categoryIdentifier, QStringLiteral("CATEGORIES"));
    make(Group::SmartFolders, SourceListItem::smartFolderIdentifier, QStringLiteral("SMART FOLDERS"));
    make(Group::Web, SourceListItem::webIdentifier, QStringLiteral("WEB"));
}

QString SourceListTree::contextMenuRowType(Group group)
{
    return QString::number(int(group));
}

std::optional<SourceListTree::Group> SourceListTree::groupOfContextMenuRowType(const QString &rowType)
{
    bool ok = false;
    const int number = rowType.toInt(&ok);
    if (!ok || number < 0 || number >= headerCount)
        return std::nullopt;
    return Group(number);
}

SourceListItem *SourceListTree::headerForGroup(const QString &groupIdentifier) const
{
    for (const auto &h : m_headers)
        if (h->identifier == groupIdentifier)
            return h.get();
    return nullptr;
}

bool SourceListTree::isExpanded(const QString &groupIdentifier) const
{
    return m_holdAllExpanded || !m_collapsed.contains(groupIdentifier);
}

void SourceListTree::setExpanded(const QString &groupIdentifier, bool expanded)
{
    if (expanded)
        m_collapsed.remove(groupIdentifier);
    else
        m_collapsed.insert(groupIdentifier);
}

QList<SourceListItem *> SourceListTree::visibleRowItems() const
{
    QList<SourceListItem *> rows;
    for (const auto &h : m_headers) {
        rows.append(h.get());
        if (isExpanded(h->identifier))
            for (const auto &c : h->children())
                rows.append(c.get());
    }
    return rows;
}

QStringList SourceListTree::visibleRowNames() const
{
    QStringList names;
    for (const SourceListItem *item : visibleRowItems())
        names.append(item->title);
    return names;
}

int SourceListTree::visibleRowCount() const
{
    int n = 0;
    for (const auto &h : m_headers)
        n += 1 + (isExpanded(h->identifier) ? h->childCount() : 0);
    return n;
}

SourceListTree::Lookup SourceListTree::sourceListItemAtIndex(int row) const
{
    if (row < 0)
        return {};
    int position = 0;
    for (const auto &h : m_headers) {
        if (position == row)
            return { h.get(), h->identifier };
        ++position;
        if (!isExpanded(h->identifier))
            continue;
        if (row < position + h->childCount())
            return { h->child(row - position), h->identifier };
        position += h->childCount();
    }
    return {};
}

int SourceListTree::indexForVisibleSourceListItemIncludingHeaders(const SourceListItem *item) const
{
    int position = 0;
    for (const auto &h : m_headers) {
        if (h.get() == item)
            return position;
        ++position;
        if (!isExpanded(h->identifier))
            continue;
        const int i = h->indexOfChild(item);
        if (i >= 0)
            return position + i;
        position += h->childCount();
    }
    return -1;
}

int SourceListTree::positionOfIdentifier(const QString &groupIdentifier, const QString &identifier, bool *found) const
{
    *found = false;
    int position = 0;
    for (const auto &h : m_headers) {
        ++position;
        const bool expanded = isExpanded(h->identifier);
        if (h->identifier != groupIdentifier) {
            if (expanded)
                position += h->childCount();
            continue;
        }
        if (!expanded)
            return position;
        for (const auto &c : h->children()) {
            if (c->identifier == identifier) {
                *found = true;
                return position;
            }
            ++position;
        }
        return position;
    }
    return position;
}
