#include "ui/PreferencesWindow.h"

#include "ui/MiscSettingsPane.h"
#include "ui_PreferencesWindow.h"

#include <QActionGroup>
#include <QLabel>
#include <QPropertyAnimation>
#include <QStyle>

namespace {

QIcon paneIcon(int index, const QStyle *style)
{
    static const QStyle::StandardPixmap icons[] = {
        QStyle::SP_DialogApplyButton, QStyle::SP_MessageBoxInformation, QStyle::SP_DirHomeIcon,
        QStyle::SP_FileDialogListView, QStyle::SP_DriveNetIcon,          QStyle::SP_DriveHDIcon,
        QStyle::SP_FileDialogDetailedView};
    return style->standardIcon(icons[index]);
}

} // namespace

PreferencesWindow::PreferencesWindow(QWidget *parent)
    : QMainWindow(parent, Qt::Window)
    , m_ui(std::make_unique<Ui::PreferencesWindow>())
{
    m_ui->setupUi(this);
    setObjectName(QStringLiteral("PreferencesWindow"));
    m_paneActions = new QActionGroup(this);
    for (int i = 0; i < PreferenceController::PaneCount; ++i) {
        QAction *action = m_ui->paneBar->addAction(paneIcon(i, style()), PreferenceController::paneTitle(i));
        action->setObjectName(QString::number(i)); // the pane's toolbar identifier
        action->setCheckable(true);
        m_paneActions->addAction(action);
        connect(action, &QAction::triggered, &m_controller, [this, i] { m_controller.changePreferenceView(i); });
        auto *placeholder = new QLabel(tr("Nothing to set here yet."));
        placeholder->setAlignment(Qt::AlignCenter);
        placeholder->setMinimumHeight(120);
        m_ui->panes->addWidget(placeholder);
    }
    setPane(6, new MiscSettingsPane(m_controller));
    connect(&m_controller, &PreferenceController::stateChanged, this, &PreferencesWindow::render);
}

PreferencesWindow::~PreferencesWindow() = default;

void PreferencesWindow::setPane(int index, QWidget *pane)
{
    QWidget *old = m_ui->panes->widget(index);
    m_ui->panes->insertWidget(index, pane);
    if (old) {
        m_ui->panes->removeWidget(old);
        old->deleteLater();
    }
}

QWidget *PreferencesWindow::pane(int index) const
{
    return m_ui->panes->widget(index);
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
    const int index = m_controller.currentPane();
    setWindowTitle(m_controller.windowTitle());
    m_paneActions->actions().at(index)->setChecked(true);
    if (index == m_shownPane)
        return;
    m_shownPane = index;
    m_ui->panes->setCurrentIndex(index);
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
