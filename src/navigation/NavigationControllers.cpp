#include "navigation/NavigationControllers.h"

#include "navigation/CollectionViewController.h"
#include "navigation/ListViewController.h"
#include "navigation/LocationBarController.h"
#include "navigation/NoRecordSelectedController.h"
#include "navigation/RecordFormController.h"
#include "navigation/SearchFieldController.h"
#include "navigation/SmartFolderController.h"
#include "navigation/SourceListController.h"
#include "navigation/ViewModeController.h"
#include "navigation/VisibleAssetController.h"
#include "store/ArrayController.h"
#include "store/ManagedObjectContext.h"

#include <QDir>
#include <QFileInfo>

NavigationControllers::NavigationControllers(ManagedObjectContext *context, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_searchField(std::make_unique<SearchFieldController>())
    , m_locationBar(std::make_unique<LocationBarController>(context))
    , m_listView(std::make_unique<ListViewController>(context))
    , m_iconView(std::make_unique<CollectionViewController>(context))
    , m_noRecordSelected(std::make_unique<NoRecordSelectedController>())
    , m_recordForm(std::make_unique<RecordFormController>(context))
    , m_viewMode(std::make_unique<ViewModeController>())
    , m_smartFolders(std::make_unique<SmartFolderController>(context))
    , m_sourceList(std::make_unique<SourceListController>(context))
{
}

NavigationControllers::~NavigationControllers()
{
    // The shared provider outlives this library's context.
    m_sourceList.reset();
    VisibleAssetController::sharedManager().setManagedObjectContext(nullptr);
}

void NavigationControllers::start(int firstRefreshDelayMs)
{
    VisibleAssetController &assets = VisibleAssetController::sharedManager();
    assets.setManagedObjectContext(m_context);
    assets.recordArrayController().setSortDescriptors(ListViewController::defaultSortDescriptors());
    if (m_context) {
        const QString package = QFileInfo(m_context->storePath()).absolutePath();
        m_iconView->setThumbnailsFolder(QDir(package).filePath(QStringLiteral("Thumbnails")));
    }
    const int mode = m_viewMode->viewMode();
    m_listView->setCurrentMode(mode);
    m_iconView->setCurrentMode(mode);
    if (mode == CollectionViewController::IconMode)
        assets.recordArrayController().setSortDescriptors({ SortDescriptor(QStringLiteral("recordID"), true) });
    m_listView->start();
    m_iconView->start();
    m_locationBar->start();
    m_smartFolders->start();
    m_sourceList->windowStart(firstRefreshDelayMs);
    assets.prepareSearch();
}

void NavigationControllers::flushPendingRefreshes()
{
    m_sourceList->flushPendingRefresh();
    m_listView->flushPendingRefresh();
    m_iconView->flushPendingRefresh();
}
