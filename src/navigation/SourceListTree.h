#pragma once

#include "navigation/SourceListItem.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <array>
#include <optional>

// The four group headers of the source list with their children, which groups
// are expanded, and the arithmetic of visible rows: each header followed, when
// its group is expanded, by its children. Positions always count the headers.
class SourceListTree
{
public:
    struct Lookup
    {
        SourceListItem *sourceListItem = nullptr;
        QString groupIdentifier;
    };

    // The four groups in their fixed order from the top. A group's place is
    // also its header's position among the headers and its number in a
    // context-menu request ("1" categories, "2" smart folders, "3" web groups).
    enum class Group {
        Library,
        Categories,
        SmartFolders,
        Web,
    };
    // Rows known by their position in the list, headers counted: the library
    // header, and All Records right under it while that group is expanded.
    enum class FixedRow {
        LibraryHeader = 0,
        AllRecords = 1,
    };
    static constexpr int position(FixedRow row) { return int(row); }

    SourceListTree();

    static constexpr int headerCount = int(Group::Web) + 1;
    SourceListItem *header(int position) const { return m_headers.at(size_t(position)).get(); }
    SourceListItem *header(Group group) const { return header(int(group)); }
    // The number of a group in a context-menu request, and the group of a number.
    static QString contextMenuRowType(Group group);
    static std::optional<Group> groupOfContextMenuRowType(const QString &rowType);
    // The header of a group identifier ("library", "category", "sf", "web"), or none.
    SourceListItem *headerForGroup(const QString &groupIdentifier) const;

    // While set (from window start to the first full refresh) every group counts as expanded.
    bool holdsAllExpanded() const { return m_holdAllExpanded; }
    void setHoldsAllExpanded(bool hold) { m_holdAllExpanded = hold; }
    bool isExpanded(const QString &groupIdentifier) const;
    void setExpanded(const QString &groupIdentifier, bool expanded);

    QList<SourceListItem *> visibleRowItems() const;
    QStringList visibleRowNames() const;
    int visibleRowCount() const;
    // The row at a position and its group; no row for a position outside the list.
    Lookup sourceListItemAtIndex(int row) const;
    // The row's position among the visible rows, headers counted; -1 when hidden.
    int indexForVisibleSourceListItemIncludingHeaders(const SourceListItem *item) const;
    // The position of the child with `identifier` in a group: the header's
    // position plus the children up to it. When there is no such child the
    // counting ends just past the group's last row and `found` is false.
    int positionOfIdentifier(const QString &groupIdentifier, const QString &identifier, bool *found) const;

private:
    std::array<std::unique_ptr<SourceListItem>, headerCount> m_headers;
    QSet<QString> m_collapsed;
    bool m_holdAllExpanded = false;
};
