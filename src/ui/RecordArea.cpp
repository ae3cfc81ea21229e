#include "ui/RecordArea.h"

#include "navigation/CollectionViewController.h"
#include "navigation/ListViewController.h"
#include "navigation/NavigationControllers.h"
#include "navigation/SourceListController.h"
#include "navigation/ViewModeController.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"
#include "ui/EnhancedDetailCard.h"
#include "ui/EnhancedRecordView.h"
#include "ui/LocationBar.h"
#include "ui/RecordIconView.h"
#include "ui/RecordListView.h"
#include "ui/ResizeController.h"
#include "ui/SearchField.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QSlider>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

RecordArea::RecordArea(NavigationControllers *controllers, QWidget *parent)
    : QWidget(parent)
    , m_controllers(controllers)
    , m_modes(new QActionGroup(this))
    , m_zoom(new QSlider(Qt::Horizontal))
    , m_search(new SearchField(&controllers->searchField()))
    , m_locations(new LocationBar(&controllers->locationBar()))
    , m_stack(new QStackedWidget)
    , m_icons(new RecordIconView(&controllers->iconView()))
    , m_list(new RecordListView(&controllers->listView()))
    , m_enhanced(new EnhancedRecordView(&controllers->listView()))
    , m_webNote(new QLabel)
    , m_count(new QLabel)
{
    setObjectName(QStringLiteral("recordArea"));
    const struct
    {
        const char *text;
        const char *shortcut;
        const char *name;
    } modes[] = { { QT_TR_NOOP("as Icons"), "Ctrl+1", "viewAsIcons" },
                  { QT_TR_NOOP("as List"), "Ctrl+2", "viewAsList" },
                  { QT_TR_NOOP("as Enhanced"), "Ctrl+3", "viewAsEnhanced" } };
    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 0);
    for (int mode = 0; mode < 3; ++mode) {
        QAction *action = m_modes->addAction(tr(modes[mode].text));
        action->setObjectName(QString::fromLatin1(modes[mode].name));
        action->setCheckable(true);
        action->setShortcut(QKeySequence(QString::fromLatin1(modes[mode].shortcut)));
        action->setData(mode);
        auto *button = new QToolButton;
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        bar->addWidget(button);
    }
    m_modes->setExclusive(true);
    connect(m_modes, &QActionGroup::triggered, this,
            [this](QAction *action) { m_controllers->viewMode().setViewMode(action->data().toInt()); });
    bar->addSpacing(12);
    m_zoom->setObjectName(QStringLiteral("zoomSlider"));
    m_zoom->setRange(0, 100);
    m_zoom->setFixedWidth(120);
    m_zoom->setToolTip(tr("Icon size"));
    m_zoom->setValue(qRound(controllers->iconView().zoom() * 100));
    connect(m_zoom, &QSlider::valueChanged, this, [this](int v) { m_controllers->iconView().setZoom(v / 100.0); });
    bar->addWidget(m_zoom);
    bar->addStretch(1);
    m_count->setObjectName(QStringLiteral("recordCount"));
    m_count->setStyleSheet(QStringLiteral("color: palette(mid);"));
    bar->addWidget(m_count);
    bar->addSpacing(8);
    bar->addWidget(m_search);

    m_webNote->setObjectName(QStringLiteral("webGroupNote"));
    m_webNote->setAlignment(Qt::AlignCenter);
    m_webNote->setWordWrap(true);
    m_stack->addWidget(m_icons);
    m_stack->addWidget(m_list);
    m_stack->addWidget(m_enhanced);
    // The card is drawn for one height and scrolls inside its pane.
    ResizeController::applyToDetailContent(m_enhanced->card());
    m_stack->addWidget(m_webNote);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(bar);
    layout->addWidget(m_locations);
    layout->addWidget(m_stack, 1);

    connect(&controllers->viewMode(), &ViewModeController::viewModeChanged, this, &RecordArea::showMode);
    connect(&controllers->sourceList(), &SourceListController::contentViewChanged, this, &RecordArea::showWebView);
    connect(&VisibleAssetController::sharedManager().recordArrayController(), &ArrayController::arrangedObjectsChanged,
            this, &RecordArea::updateCount);
    showMode(controllers->viewMode().viewMode());
    updateCount();
}

void RecordArea::showMode(int mode)
{
    for (QAction *action : m_modes->actions())
        action->setChecked(action->data().toInt() == mode);
    m_zoom->setVisible(mode == 0);
    if (!m_web)
        m_stack->setCurrentIndex(mode);
}

void RecordArea::showWebView(bool web)
{
    m_web = web;
    m_locations->setVisible(!web);
    m_search->setEnabled(!web);
    if (web) {
        m_webNote->setText(tr("The web group \"%1\" opens its shops in the browser.")
                               .arg(m_controllers->sourceList().currentRowName()));
        m_stack->setCurrentWidget(m_webNote);
    } else {
        m_stack->setCurrentIndex(m_controllers->viewMode().viewMode());
    }
}

void RecordArea::updateCount()
{
    const int shown = int(VisibleAssetController::sharedManager().recordArrayController().arrangedObjects().size());
    m_count->setText(shown == 1 ? tr("1 record") : tr("%1 records").arg(QLocale().toString(shown)));
}
