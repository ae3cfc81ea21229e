#include "ui/ConditionLevelControl.h"

#include "navigation/RecordLabels.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kStar = 20;
}

ConditionLevelControl::ConditionLevelControl(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(tr("Condition"));
    setMinimumSize(sizeHint());
}

void ConditionLevelControl::setLevel(int level)
{
    m_level = std::clamp(level, 0, RecordLabels::maximumCondition);
    update();
}

QSize ConditionLevelControl::sizeHint() const
{
    return { kStar * RecordLabels::maximumCondition + 4, kStar + 4 };
}

void ConditionLevelControl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QFont f = font();
    f.setPixelSize(kStar - 2);
    p.setFont(f);
    for (int i = 0; i < RecordLabels::maximumCondition; ++i) {
        const bool lit = i < m_level;
        p.setPen(lit && isEnabled() ? QColor(0xf0a030) : palette().color(QPalette::Disabled, QPalette::Text));
        p.drawText(QRect(2 + i * kStar, 2, kStar, kStar), Qt::AlignCenter, QString(QChar(lit ? 0x2605 : 0x2606)));
    }
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

int ConditionLevelControl::starAt(const QPoint &pos) const
{
    return std::clamp((pos.x() - 2) / kStar + 1, 1, RecordLabels::maximumCondition);
}

void ConditionLevelControl::mousePressEvent(QMouseEvent *event)
{
    const int star = starAt(event->position().toPoint());
    setLevel(star == m_level && star == 1 ? 0 : star);
    emit levelChosen(m_level);
}

void ConditionLevelControl::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Up)
        setLevel(m_level + 1);
    else if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Down)
        setLevel(m_level - 1);
    else if (event->key() >= Qt::Key_0 && event->key() <= Qt::Key_5)
        setLevel(event->key() - Qt::Key_0);
    else
        return QWidget::keyPressEvent(event);
    emit levelChosen(m_level);
}
