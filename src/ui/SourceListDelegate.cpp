#include "ui/SourceListDelegate.h"

#include "navigation/SourceListModel.h"

#include <QApplication>
#include <QPainter>

void SourceListDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    if (index.data(SourceListModel::IsHeaderRole).toBool()) {
        painter->save();
        QFont font = option.font;
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 0.85);
        painter->setFont(font);
        painter->setPen(option.palette.color(QPalette::Disabled, QPalette::Text));
        painter->drawText(option.rect.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft, index.data().toString());
        painter->restore();
        return;
    }
    const QVariant badge = index.data(SourceListModel::BadgeRole);
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    QRect badgeRect;
    QString badgeText;
    if (badge.isValid()) {
        badgeText = QString::number(badge.toInt());
        QFont font = opt.font;
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 0.8);
        const int width = QFontMetrics(font).horizontalAdvance(badgeText) + 12;
        const int height = QFontMetrics(font).height() + 2;
        badgeRect = QRect(opt.rect.right() - width - 6, opt.rect.center().y() - height / 2, width, height);
        opt.rect.setRight(badgeRect.left() - 4);
    }
    QStyledItemDelegate::paint(painter, opt, index);
    if (badgeRect.isValid()) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const bool selected = option.state & QStyle::State_Selected;
        painter->setPen(Qt::NoPen);
        painter->setBrush(selected ? option.palette.color(QPalette::HighlightedText)
                                   : option.palette.color(QPalette::Mid));
        painter->drawRoundedRect(badgeRect, badgeRect.height() / 2.0, badgeRect.height() / 2.0);
        QFont font = option.font;
        font.setBold(true);
        font.setPointSizeF(font.pointSizeF() * 0.8);
        painter->setFont(font);
        painter->setPen(selected ? option.palette.color(QPalette::Highlight) : QColor(Qt::white));
        painter->drawText(badgeRect, Qt::AlignCenter, badgeText);
        painter->restore();
    }
}

QSize SourceListDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(std::max(size.height(), index.data(SourceListModel::IsHeaderRole).toBool() ? 24 : 22));
    return size;
}
