#include "ui/NavigationPanes.h"

#include "navigation/CollectionViewController.h"
#include "navigation/ListViewController.h"
#include "navigation/LocationBarController.h"
#include "navigation/NavigationControllers.h"
#include "navigation/SmartFolderController.h"
#include "navigation/SourceListController.h"
#include "navigation/VisibleAssetController.h"
#include "ui/CSVExportCommand.h"
#include "ui/MainWindow.h"
#include "ui/RecordArea.h"
#include "ui/RecordForm.h"
#include "ui/RecordIconView.h"
#include "ui/RecordListView.h"
#include "ui/SearchField.h"
#include "ui/SmartFolderSheet.h"
#include "ui/SourceListView.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QSlider>
#include <QSplitter>
#include <QToolBar>

NavigationPanes::NavigationPanes(MainWindow *window, ManagedObjectContext *context, int firstRefreshDelayMs)
    : QObject(window)
    , m_window(window)
    , m_controllers(new NavigationControllers(context, this))
    , m_sourceList(new SourceListView(&m_controllers->sourceList()))
    , m_recordArea(new RecordArea(m_controllers))
    , m_form(new RecordForm(&m_controllers->recordForm(), &m_controllers->noRecordSelected()))
    , m_sheet(new SmartFolderSheet(&m_controllers->smartFolders(), window))
{
    window->setSourceListArea(m_sourceList);
    window->setRecordArea(m_recordArea);
    window->setDetailArea(m_form);
    if (auto *centre = qobject_cast<QSplitter *>(m_recordArea->parentWidget()))
        centre->setSizes({ 210, 600, 390 });
    buildCommands();
    m_controllers->start(firstRefreshDelayMs);
}

NavigationPanes::~NavigationPanes() = default;

QList<QAction *> NavigationPanes::recordContextActions() const
{
    QList<QAction *> actions;
    if (auto *newRecord = m_window->findChild<QAction *>(QStringLiteral("newRecordAction")))
        actions.append(newRecord);
    for (QAction *mode : m_recordArea->viewModeActions()->actions())
        actions.append(mode);
    return actions;
}

void NavigationPanes::buildCommands()
{
    m_csvExport = new CSVExportCommand(m_window, &VisibleAssetController::sharedManager().recordArrayController());
    m_newSmartFolder
        = new QAction(QIcon(QStringLiteral(":/icons/smartFolder@2x.png")), tr("New Smart Folder..."), this);
    m_newSmartFolder->setObjectName(QStringLiteral("newSmartFolderAction"));
    m_newSmartFolder->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+N")));
    m_newSmartFolder->setToolTip(tr("Make a smart folder: a saved search that keeps itself up to date"));
    connect(m_newSmartFolder, &QAction::triggered, &m_controllers->smartFolders(),
            &SmartFolderController::addSmartFolderMenuAction);

    m_editSource = new QAction(tr("Edit Selected Folder..."), this);
    m_editSource->setObjectName(QStringLiteral("editSourceAction"));
    m_editSource->setShortcut(QKeySequence(QStringLiteral("Ctrl+E")));
    connect(m_editSource, &QAction::triggered, &m_controllers->sourceList(), &SourceListController::doubleClickAction);

    auto *find = new QAction(tr("Find"), this);
    find->setObjectName(QStringLiteral("findAction"));
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        m_recordArea->searchField()->setFocus(Qt::ShortcutFocusReason);
        m_recordArea->searchField()->selectAll();
    });

    auto *allRecords = new QAction(tr("Show All Records"), this);
    allRecords->setObjectName(QStringLiteral("showAllRecordsAction"));
    allRecords->setShortcut(QKeySequence(QStringLiteral("Ctrl+0")));
    connect(allRecords, &QAction::triggered, this,
            [this] { m_controllers->sourceList().selectRow(SourceListTree::FixedRow::AllRecords); });

    auto *allLocations = new QAction(tr("Show All Locations"), this);
    allLocations->setObjectName(QStringLiteral("showAllLocationsAction"));
    allLocations->setShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+L")));
    connect(allLocations, &QAction::triggered, this,
            [this] { m_controllers->locationBar().setItemOn(LocationBarController::allItemIdentifier, true); });

    auto *zoomIn = new QAction(tr("Larger Icons"), this);
    zoomIn->setObjectName(QStringLiteral("zoomInAction"));
    zoomIn->setShortcut(QKeySequence::ZoomIn);
    connect(zoomIn, &QAction::triggered, this,
            [this] { m_recordArea->zoomSlider()->setValue(m_recordArea->zoomSlider()->value() + 10); });
    auto *zoomOut = new QAction(tr("Smaller Icons"), this);
    zoomOut->setObjectName(QStringLiteral("zoomOutAction"));
    zoomOut->setShortcut(QKeySequence::ZoomOut);
    connect(zoomOut, &QAction::triggered, this,
            [this] { m_recordArea->zoomSlider()->setValue(m_recordArea->zoomSlider()->value() - 10); });

    if (QMenu *file = m_window->menuNamed(QStringLiteral("fileMenu"))) {
        QAction *before = file->actions().value(0);
        file->insertAction(before, m_newSmartFolder);
        file->insertSeparator(before);
    }
    if (QMenu *edit = m_window->menuNamed(QStringLiteral("editMenu"))) {
        QAction *before = edit->actions().value(0);
        edit->insertAction(before, find);
        edit->insertAction(before, m_editSource);
        edit->insertSeparator(before);
    }
    if (QMenu *view = m_window->menuNamed(QStringLiteral("viewMenu"))) {
        view->addActions(m_recordArea->viewModeActions()->actions());
        view->addSeparator();
        view->addMenu(m_recordArea->listView()->columnMenu());
        view->addAction(zoomIn);
        view->addAction(zoomOut);
        view->addSeparator();
        view->addAction(allRecords);
        view->addAction(allLocations);
    }
    if (auto *toolbar = m_window->findChild<QToolBar *>(QStringLiteral("mainToolBar"))) {
        toolbar->insertAction(toolbar->actions().value(0), m_newSmartFolder);
        toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    m_window->addAction(find);

    // Context menus of the record views, made when they open.
    m_recordArea->listView()->setContextMenuPolicy(Qt::DefaultContextMenu);
    auto refreshContext = [this] {
        m_recordArea->listView()->setContextActions(recordContextActions());
        m_recordArea->iconView()->setContextActions(recordContextActions());
    };
    refreshContext();
    connect(m_recordArea->listView(), &QWidget::customContextMenuRequested, this, refreshContext);
    QMetaObject::invokeMethod(this, refreshContext, Qt::QueuedConnection);
}
