#include "ui/SourceListView.h"

#include "navigation/DragPayload.h"
#include "navigation/SourceListController.h"
#include "navigation/SourceListModel.h"
#include "ui/SourceListDelegate.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

SourceListView::SourceListView(SourceListController *controller, QWidget *parent)
    : QTreeView(parent)
    , m_controller(controller)
    , m_model(new SourceListModel(controller, this))
{
    setObjectName(QStringLiteral("sourceList"));
    setModel(m_model);
    setItemDelegate(new SourceListDelegate(this));
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setIndentation(14);
    setIconSize(QSize(18, 18));
    setUniformRowHeights(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setFrameShape(QFrame::NoFrame);
    setMinimumWidth(180);

    connect(controller, &SourceListController::treeRebuilt, this, [this] {
        expandFromController();
        showControllerSelection();
    });
    connect(controller, &SourceListController::selectionChanged, this, &SourceListView::showControllerSelection);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &SourceListView::userSelectionChanged);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        if (!m_syncing)
            m_controller->setGroupExpanded(index.data(SourceListModel::IdentifierRole).toString(), true);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        if (!m_syncing)
            m_controller->setGroupExpanded(index.data(SourceListModel::IdentifierRole).toString(), false);
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!index.data(SourceListModel::IsHeaderRole).toBool())
            m_controller->doubleClickAction();
    });
    connect(this, &QWidget::customContextMenuRequested, this, &SourceListView::showContextMenu);
    expandFromController();
}

int SourceListView::rowPosition(const QModelIndex &index) const
{
    return m_controller->indexForVisibleSourceListItemIncludingHeaders(m_model->itemForIndex(index));
}

QModelIndex SourceListView::indexAtPosition(int row) const
{
    return m_model->indexForItem(m_controller->sourceListItemAtIndex(row).sourceListItem);
}

void SourceListView::expandFromController()
{
    m_syncing = true;
    for (int h = 0; h < SourceListTree::headerCount; ++h) {
        const QModelIndex header = m_model->index(h, 0);
        setExpanded(header, m_controller->tree().isExpanded(header.data(SourceListModel::IdentifierRole).toString()));
    }
    m_syncing = false;
}

void SourceListView::showControllerSelection()
{
    m_syncing = true;
    selectionModel()->clearSelection();
    for (int row : m_controller->selectedRowIndexes()) {
        const QModelIndex index = indexAtPosition(row);
        if (index.isValid()) {
            selectionModel()->select(index, QItemSelectionModel::Select);
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        }
    }
    m_syncing = false;
}

void SourceListView::userSelectionChanged()
{
    if (m_syncing)
        return;
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedIndexes())
        rows.append(rowPosition(index));
    if (rows.isEmpty())
        return; // a click on a header or beside the rows keeps the selected row
    m_controller->selectRowIndexes(rows);
}

void SourceListView::keyPressEvent(QKeyEvent *event)
{
    // Rows are not deleted from the keyboard here; the Delete command does that.
    if (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) {
        event->ignore();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void SourceListView::showContextMenu(const QPoint &pos)
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return;
    const std::optional<SourceListController::ContextMenu> entries
        = m_controller->contextMenuForRow(rowPosition(index));
    if (!entries)
        return;
    QMenu menu(this);
    menu.addAction(entries->editTitle, m_controller, &SourceListController::doubleClickAction);
    menu.addAction(entries->deleteTitle, m_controller, &SourceListController::deleteSelectedRow);
    menu.exec(viewport()->mapToGlobal(pos));
}

int SourceListView::dropRow(const QPoint &pos, const QMimeData *data) const
{
    const QModelIndex index = indexAt(pos);
    if (!index.isValid())
        return -1;
    // A drop is aimed at a row: the middle of a row counts, its edges do not.
    const QRect rect = visualRect(index);
    const int margin = std::min(3, rect.height() / 4);
    const bool between = pos.y() < rect.top() + margin || pos.y() > rect.bottom() - margin;
    const int row = rowPosition(index);
    if (!m_controller->validateDrop(row, between))
        return -1;
    if (DragPayload::hasRecords(data)) {
        const SourceListTree::Lookup lookup = m_controller->sourceListItemAtIndex(row);
        return lookup.groupIdentifier == SourceListItem::categoryIdentifier ? row : -1;
    }
    return data->hasUrls() ? row : -1;
}

void SourceListView::dragEnterEvent(QDragEnterEvent *event)
{
    if (DragPayload::hasRecords(event->mimeData()) || event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void SourceListView::dragMoveEvent(QDragMoveEvent *event)
{
    const int row = dropRow(event->position().toPoint(), event->mimeData());
    if (row < 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept(visualRect(indexAtPosition(row)));
}

void SourceListView::dropEvent(QDropEvent *event)
{
    const int row = dropRow(event->position().toPoint(), event->mimeData());
    bool accepted = false;
    if (row >= 0) {
        if (DragPayload::hasRecords(event->mimeData()))
            accepted = m_controller->acceptRecordDrop(row, DragPayload::recordURIs(event->mimeData()));
        else
            accepted = m_controller->acceptFileDrop(row, DragPayload::fromMimeData(event->mimeData()));
    }
    if (accepted) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}
