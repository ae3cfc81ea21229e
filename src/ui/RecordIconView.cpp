#include "ui/RecordIconView.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "navigation/CollectionViewController.h"
#include "navigation/DragPayload.h"
#include "navigation/RecordIconModel.h"
#include "store/ArrayController.h"
#include "ui/RecordIconDelegate.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>

RecordIconView::RecordIconView(CollectionViewController *controller, QWidget *parent)
    : QListView(parent)
    , m_controller(controller)
    , m_model(new RecordIconModel(controller, this))
    , m_delegate(new RecordIconDelegate(this))
{
    setObjectName(QStringLiteral("recordIcons"));
    setModel(m_model);
    setItemDelegate(m_delegate);
    setViewMode(QListView::IconMode);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setWrapping(true);
    setUniformItemSizes(true);
    // 50,000 items: laid out in batches so that the view stays responsive.
    setLayoutMode(QListView::Batched);
    setBatchSize(500);
    setSpacing(6);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    connect(controller, &CollectionViewController::zoomChanged, this, &RecordIconView::applyZoom);
    connect(controller, &CollectionViewController::selectionChanged, this, &RecordIconView::showControllerSelection);
    connect(m_model, &QAbstractItemModel::modelReset, this, &RecordIconView::showControllerSelection);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &RecordIconView::userSelectionChanged);
    applyZoom(controller->zoom());
}

int RecordIconView::iconSideForZoom(double zoom)
{
    return 40 + int(std::clamp(zoom, 0.0, 1.0) * 160);
}

void RecordIconView::applyZoom(double zoom)
{
    m_delegate->setIconSide(iconSideForZoom(zoom));
    // The items' size changed: lay them out again.
    doItemsLayout();
}

void RecordIconView::showControllerSelection()
{
    m_syncing = true;
    QItemSelection selection;
    const QList<int> rows = m_controller->records().selectionIndexes();
    for (int row : rows)
        selection.select(m_model->index(row), m_model->index(row));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty())
        selectionModel()->setCurrentIndex(m_model->index(rows.first()), QItemSelectionModel::NoUpdate);
    m_syncing = false;
}

void RecordIconView::userSelectionChanged()
{
    if (m_syncing)
        return;
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    // Changes the user made with the mouse or the keyboard; anything else is put back.
    m_controller->imageBrowserSelectionDidChange(rows, m_userInput);
}

void RecordIconView::mousePressEvent(QMouseEvent *event)
{
    EventBus::instance().post(Events::TBXImageBrowserViewClicked, m_controller);
    m_userInput = true;
    QListView::mousePressEvent(event);
    m_userInput = false;
}

void RecordIconView::keyPressEvent(QKeyEvent *event)
{
    m_userInput = true;
    QListView::keyPressEvent(event);
    m_userInput = false;
}

void RecordIconView::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    if (index.isValid() && !selectionModel()->isSelected(index)) {
        m_userInput = true;
        selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
        m_userInput = false;
    }
    QMenu menu(this);
    menu.addActions(m_contextActions);
    if (!menu.isEmpty())
        menu.exec(event->globalPos());
}

void RecordIconView::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->source() == this || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void RecordIconView::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->source() == this || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    QListView::dragMoveEvent(event);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void RecordIconView::dropEvent(QDropEvent *event)
{
    if (event->source() == this) {
        event->ignore();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (m_controller->performDrop(DragPayload::fromMimeData(event->mimeData()), index.isValid() ? index.row() : -1,
                                  index.isValid())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}
