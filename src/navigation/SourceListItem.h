#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class ManagedObject;

// One row of the source list: a group header or a child row.
class SourceListItem
{
public:
    // Identifiers of the four group headers (also the group identifiers).
    static inline const QString libraryIdentifier = QStringLiteral("library");
    static inline const QString categoryIdentifier = QStringLiteral("category");
    static inline const QString smartFolderIdentifier = QStringLiteral("sf");
    static inline const QString webIdentifier = QStringLiteral("web");

    // Row types, by which every other part recognises the selected row.
    static inline const QString rowTypeAll = QStringLiteral("All");
    static inline const QString rowTypeCategory = QStringLiteral("Category");
    static inline const QString rowTypeSmart = QStringLiteral("Smart");
    static inline const QString rowTypeWebGroup = QStringLiteral("WebGroup");

    static inline const QString allRecordsHeaderTitle = QStringLiteral("ALL RECORDS");
    static inline const QString allRecordsTitle = QStringLiteral("All Records");

    static inline const QString categoryIcon = QStringLiteral("folder@2x.png");
    static inline const QString smartFolderIcon = QStringLiteral("smartFolder@2x.png");
    static inline const QString webGroupIcon = QStringLiteral("globe@2x.png");

    SourceListItem(const QString &identifier, const QString &title);

    QString identifier;
    QString title;
    QString iconName; // empty: no icon
    std::optional<int> badge;
    ManagedObject *representedObject = nullptr;

    SourceListItem *parent() const { return m_parent; }
    bool isHeader() const { return m_parent == nullptr; }
    const std::vector<std::unique_ptr<SourceListItem>> &children() const { return m_children; }
    int childCount() const { return int(m_children.size()); }
    SourceListItem *child(int i) const { return m_children.at(size_t(i)).get(); }
    int indexOfChild(const SourceListItem *child) const;

    void setChildren(std::vector<std::unique_ptr<SourceListItem>> children);
    SourceListItem *addChild(std::unique_ptr<SourceListItem> child);

private:
    SourceListItem *m_parent = nullptr;
    std::vector<std::unique_ptr<SourceListItem>> m_children;
};
