#include "ui/LocationBar.h"

#include "navigation/LocationBarController.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QScrollArea>
#include <QToolButton>

LocationBar::LocationBar(LocationBarController *controller, QWidget *parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_layout(new QHBoxLayout(this))
    , m_image(new QLabel)
{
    setObjectName(QStringLiteral("locationBar"));
    m_layout->setContentsMargins(6, 2, 6, 2);
    m_layout->setSpacing(4);
    connect(controller, &LocationBarController::changed, this, &LocationBar::rebuild);
    rebuild();
}

void LocationBar::rebuild()
{
    // Buttons are made again only when the items change; otherwise their states follow.
    QString items;
    for (const LocationBarController::Group &g : m_controller->groups())
        for (const LocationBarController::Item &i : g.items)
            items += i.identifier + QLatin1Char('\x1f') + i.title + QLatin1Char('\x1e');
    if (items != m_shown) {
        m_shown = items;
        while (QLayoutItem *item = m_layout->takeAt(0)) {
            if (item->widget() && item->widget() != m_image)
                delete item->widget();
            delete item;
        }
        m_layout->addWidget(m_image);
        for (const LocationBarController::Group &g : m_controller->groups()) {
            if (g.separatorBefore) {
                auto *line = new QFrame;
                line->setFrameShape(QFrame::VLine);
                line->setFrameShadow(QFrame::Sunken);
                m_layout->addWidget(line);
            }
            if (!g.label.isEmpty())
                m_layout->addWidget(new QLabel(g.label));
            for (const LocationBarController::Item &i : g.items) {
                auto *button = new QToolButton;
                button->setObjectName(QStringLiteral("location_") + i.identifier);
                button->setText(i.title);
                button->setCheckable(true);
                button->setAutoRaise(true);
                button->setEnabled(i.identifier != LocationBarController::noneItemIdentifier);
                button->setProperty("itemIdentifier", i.identifier);
                connect(button, &QToolButton::clicked, this,
                        [this, id = i.identifier](bool on) { m_controller->setItemOn(id, on); });
                m_layout->addWidget(button);
            }
        }
        m_layout->addStretch(1);
    }
    for (QToolButton *button : findChildren<QToolButton *>()) {
        const QString id = button->property("itemIdentifier").toString();
        for (const LocationBarController::Group &g : m_controller->groups())
            for (const LocationBarController::Item &i : g.items)
                if (i.identifier == id) {
                    const QSignalBlocker blocker(button);
                    button->setChecked(i.on);
                }
    }
    m_image->setPixmap(QIcon(QStringLiteral(":/icons/") + m_controller->buttonImage()).pixmap(16, 16));
}
