#include "ui/RecordListDelegate.h"

#include "navigation/RecordListModel.h"

#include <QPainter>

void RecordListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QVariant level = index.data(RecordListModel::LevelRole);
    if (!level.isValid()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    QStyledItemDelegate::paint(painter, opt, index);
    const double share = std::clamp(level.toDouble() / 100.0, 0.0, 1.0);
    const QRect bar = option.rect.adjusted(6, option.rect.height() / 2 - 4, -6, -(option.rect.height() / 2 - 4));
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(option.palette.color(QPalette::Midlight));
    painter->drawRoundedRect(bar, 3, 3);
    // Green while most of the warranty is left, amber when it runs low, red when gone.
    const QColor fill = share > 0.3 ? QColor(0x4caf50) : share > 0.01 ? QColor(0xf0a030) : QColor(0xd9534f);
    painter->setBrush(fill);
    QRect left = bar;
    left.setWidth(std::max(share > 0 ? 4 : 0, int(bar.width() * share)));
    if (left.width() > 0)
        painter->drawRoundedRect(left, 3, 3);
    painter->restore();
}
