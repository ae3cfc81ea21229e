#include "navigation/SourceListModel.h"

#include "navigation/SourceListController.h"

#include <QIcon>

SourceListModel::SourceListModel(SourceListController *controller, QObject *parent)
    : QAbstractItemModel(parent)
    , m_controller(controller)
{
    // The rows are rebuilt from scratch each time; nothing is updated in place.
    connect(controller, &SourceListController::treeRebuilt, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

SourceListItem *SourceListModel::itemForIndex(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<SourceListItem *>(index.internalPointer()) : nullptr;
}

QModelIndex SourceListModel::indexForItem(const SourceListItem *item) const
{
    if (!item)
        return {};
    if (item->isHeader()) {
        for (int h = 0; h < SourceListTree::headerCount; ++h)
            if (m_controller->tree().header(h) == item)
                return createIndex(h, 0, const_cast<SourceListItem *>(item));
        return {};
    }
    const int row = item->parent()->indexOfChild(item);
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<SourceListItem *>(item));
}

QModelIndex SourceListModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < SourceListTree::headerCount ? createIndex(row, 0, m_controller->tree().header(row))
                                                 : QModelIndex();
    SourceListItem *header = itemForIndex(parent);
    if (!header || !header->isHeader() || row >= header->childCount())
        return {};
    return createIndex(row, 0, header->child(row));
}

QModelIndex SourceListModel::parent(const QModelIndex &child) const
{
    SourceListItem *item = itemForIndex(child);
    if (!item || item->isHeader())
        return {};
    return indexForItem(item->parent());
}

int SourceListModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return SourceListTree::headerCount;
    if (parent.column() != 0)
        return 0;
    SourceListItem *item = itemForIndex(parent);
    return item && item->isHeader() ? item->childCount() : 0;
}

int SourceListModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant SourceListModel::data(const QModelIndex &index, int role) const
{
    const SourceListItem *item = itemForIndex(index);
    if (!item)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return item->title;
    case Qt::DecorationRole:
        if (item->iconName.isEmpty())
            return {};
        return QIcon(QStringLiteral(":/icons/") + item->iconName);
    case BadgeRole:
        return item->badge ? QVariant(*item->badge) : QVariant();
    case IdentifierRole:
        return item->identifier;
    case IsHeaderRole:
        return item->isHeader();
    case IconNameRole:
        return item->iconName;
    default:
        return {};
    }
}

Qt::ItemFlags SourceListModel::flags(const QModelIndex &index) const
{
    const SourceListItem *item = itemForIndex(index);
    if (!item)
        return Qt::NoItemFlags;
    // Headers group the rows and cannot be selected; titles are not edited in place.
    if (item->isHeader())
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
}
