#pragma once

#include <QStyledItemDelegate>

// Draws an icon view item: the thumbnail (or a placeholder) fitted into the
// icon square, the title below it and the subtitle in a lighter line.
class RecordIconDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The side of the thumbnail square.
    void setIconSide(int side) { m_side = side; }
    int iconSide() const { return m_side; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    int m_side = 160;
};
