#pragma once

#include <QStyledItemDelegate>

// Draws the warranty column of the record list as a bar of the level left.
class RecordListDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
