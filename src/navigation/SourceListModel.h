#pragma once

#include <QAbstractItemModel>

class SourceListController;
class SourceListItem;

// The source list's tree for the tree view: the four headers and their
// children, with icons and badges. Resets whenever the controller rebuilds.
class SourceListModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Role { BadgeRole = Qt::UserRole + 1, IdentifierRole, IsHeaderRole, IconNameRole };

    explicit SourceListModel(SourceListController *controller, QObject *parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    SourceListItem *itemForIndex(const QModelIndex &index) const;
    QModelIndex indexForItem(const SourceListItem *item) const;

private:
    SourceListController *m_controller;
};
