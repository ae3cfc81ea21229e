#include "ui/PreferencesWindow.h"

#include "ui/MiscSettingsPane.h"
#include "ui_PreferencesWindow.h"

#include <QActionGroup>
#include <QLabel>
#include <QPropertyAnimation>
#include <QStyle>

namespace {

using Pane = PreferenceController::Pane;

QIcon paneIcon(Pane pane, const QStyle *style)
{
    switch (pane) {
    case Pane::PaymentMethods:
        break;
    case Pane::Insurance:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case Pane::Locations:
        return style->standardIcon(QStyle::SP_DirHomeIcon);
    case Pane::Currencies:
        return style->standardIcon(QStyle::SP_FileDialogListView);
    case Pane::Websites:
        return style->standardIcon(QStyle::SP_DriveNetIcon);
    case Pane::Database:
        return style->standardIcon(QStyle::SP_DriveHDIcon);
    case Pane::Misc:
        return style->standardIcon(QStyle::SP_FileDialogDetailedView);
    }
    return style->standardIcon(QStyle::SP_DialogApplyButton);
}

} // namespace

PreferencesWindow::PreferencesWindow(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::PreferencesWindow>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("PreferencesWindow"));
    m_paneActions = new QActionGroup(this);
    for (const Pane pane : PreferenceController::panes()) {
        QAction *action = m_ui->paneBar->addAction(paneIcon(pane, style()), PreferenceController::paneTitle(pane));
        action->setObjectName(PreferenceController::toolbarIdentifier(pane));
        action->setCheckable(true);
        m_paneActions->addAction(action);
        m_actions.insert(pane, action);
        connect(action, &QAction::triggered, &m_controller, [this, pane] { m_controller.changePreferenceView(pane); });
        auto *placeholder = new QLabel(tr("Nothing to set here yet."));
        placeholder->setAlignment(Qt::AlignCenter);
        placeholder->setMinimumHeight(120);
        m_ui->panes->addWidget(placeholder);
    }
    setPane(Pane::Misc, new MiscSettingsPane(m_controller));
    connect(&m_controller, &PreferenceController::stateChanged, this, &PreferencesWindow::render);
}

PreferencesWindow::~PreferencesWindow() = default;

// The stack holds the panes in toolbar order.
static int stackIndex(Pane pane)
{
    return PreferenceController::panes().indexOf(pane);
}

void PreferencesWindow::setPane(Pane pane, QWidget *widget)
{
    const int index = stackIndex(pane);
    QWidget *old = m_ui->panes->widget(index);
    m_ui->panes->insertWidget(index, widget);
    if (old) {
        m_ui->panes->removeWidget(old);
        old->deleteLater();
    }
}

QWidget *PreferencesWindow::pane(Pane pane) const
{
    return m_ui->panes->widget(stackIndex(pane));
}

void PreferencesWindow::openWindow()
{
    m_controller.startPreferencesWindow();
    show();
    raise();
    activateWindow();
}

void PreferencesWindow::render()
{
    const Pane pane = m_controller.currentPane();
    setWindowTitle(m_controller.windowTitle());
    m_actions.value(pane)->setChecked(true);
    if (m_shownPane == pane)
        return;
    m_shownPane = pane;
    m_ui->panes->setCurrentIndex(stackIndex(pane));
    if (!isVisible())
        return;
    // Grow or shrink to the pane's height plus the toolbar allowance, keeping the top edge.
    QRect target = geometry();
    target.setHeight(m_ui->panes->currentWidget()->sizeHint().height() + 120);
    auto *animation = new QPropertyAnimation(this, "geometry", this);
    animation->setDuration(150);
    animation->setEndValue(target);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}
