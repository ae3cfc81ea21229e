#pragma once

#include <QStyledItemDelegate>

// Draws the source list's rows: group headers in small capitals, child rows
// with their icon and, on the right, the badge with the number of records.
class SourceListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
