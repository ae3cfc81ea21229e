#include "ui/RecordIconDelegate.h"

#include "navigation/RecordIconModel.h"

#include <QPainter>

void RecordIconDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    const bool selected = option.state & QStyle::State_Selected;
    const QRect cell = option.rect.adjusted(4, 4, -4, -4);
    const QRect square(cell.left() + (cell.width() - m_side) / 2, cell.top(), m_side, m_side);
    if (selected) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(option.palette.color(QPalette::Highlight).lighter(170));
        painter->drawRoundedRect(square.adjusted(-4, -4, 4, 4), 6, 6);
    }
    const QImage image = index.data(RecordIconModel::ThumbnailRole).value<QImage>();
    if (!image.isNull()) {
        QSize size = image.size().scaled(square.size(), Qt::KeepAspectRatio);
        const QRect target(square.center().x() - size.width() / 2, square.center().y() - size.height() / 2,
                           size.width(), size.height());
        painter->drawImage(target, image);
    } else {
        // No picture yet: a soft frame with the item's first letter.
        painter->setPen(option.palette.color(QPalette::Mid));
        painter->setBrush(option.palette.color(QPalette::AlternateBase));
        const QRect frame = square.adjusted(m_side / 8, m_side / 8, -m_side / 8, -m_side / 8);
        painter->drawRoundedRect(frame, 8, 8);
        QFont big = option.font;
        big.setPointSizeF(std::max(10.0, m_side / 4.0));
        painter->setFont(big);
        painter->setPen(option.palette.color(QPalette::Mid));
        const QString title = index.data().toString().trimmed();
        painter->drawText(frame, Qt::AlignCenter, title.isEmpty() ? QStringLiteral("?") : title.left(1).toUpper());
    }
    const QFontMetrics fm(option.font);
    QRect text(cell.left(), square.bottom() + 6, cell.width(), fm.height());
    painter->setFont(option.font);
    painter->setPen(option.palette.color(selected ? QPalette::Highlight : QPalette::Text));
    painter->drawText(text, Qt::AlignHCenter | Qt::AlignTop,
                      fm.elidedText(index.data().toString(), Qt::ElideRight, text.width()));
    const QString subtitle = index.data(RecordIconModel::SubtitleRole).toString();
    if (!subtitle.trimmed().isEmpty()) {
        QFont small = option.font;
        small.setPointSizeF(option.font.pointSizeF() * 0.85);
        painter->setFont(small);
        painter->setPen(option.palette.color(QPalette::Disabled, QPalette::Text));
        text.translate(0, fm.height());
        painter->drawText(text, Qt::AlignHCenter | Qt::AlignTop,
                          QFontMetrics(small).elidedText(subtitle, Qt::ElideRight, text.width()));
    }
    painter->restore();
}

QSize RecordIconDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    const QFontMetrics fm(option.font);
    return QSize(m_side + 24, m_side + 16 + 2 * fm.height());
}
