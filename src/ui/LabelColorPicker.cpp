#include "ui/LabelColorPicker.h"

#include "navigation/RecordLabels.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPainter>
#include <QToolButton>

namespace {

QIcon swatch(int label)
{
    QPixmap pixmap(28, 28);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color = RecordLabels::color(label);
    if (color.isValid()) {
        p.setPen(color.darker(130));
        p.setBrush(color);
        p.drawEllipse(QRectF(4, 4, 20, 20));
    } else {
        p.setPen(QPen(Qt::gray, 2));
        p.drawEllipse(QRectF(5, 5, 18, 18));
        p.drawLine(QPointF(9, 19), QPointF(19, 9));
    }
    return QIcon(pixmap);
}

} // namespace

LabelColorPicker::LabelColorPicker(QWidget *parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (int label = 0; label < RecordLabels::count; ++label) {
        auto *button = new QToolButton;
        button->setObjectName(QStringLiteral("label%1").arg(label));
        button->setIcon(swatch(label));
        button->setIconSize(QSize(15, 15));
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setToolTip(RecordLabels::name(label));
        m_group->addButton(button, label);
        layout->addWidget(button);
    }
    layout->addStretch(1);
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, &LabelColorPicker::labelChosen);
}

int LabelColorPicker::label() const
{
    return std::max(0, m_group->checkedId());
}

void LabelColorPicker::setLabel(int label)
{
    if (QAbstractButton *button = m_group->button(std::clamp(label, 0, RecordLabels::count - 1)))
        button->setChecked(true);
}
