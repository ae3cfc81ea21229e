#include "ui/RecordListView.h"

#include "navigation/DragPayload.h"
#include "navigation/ListViewController.h"
#include "navigation/RecordListColumn.h"
#include "navigation/RecordListModel.h"
#include "store/ArrayController.h"
#include "ui/RecordListDelegate.h"

#include <QContextMenuEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>

RecordListView::RecordListView(ListViewController *controller, QWidget *parent)
    : QTableView(parent)
    , m_controller(controller)
    , m_model(new RecordListModel(controller, this))
    , m_columnMenu(new QMenu(tr("Columns"), this))
{
    setObjectName(QStringLiteral("recordList"));
    setModel(m_model);
    setItemDelegate(new RecordListDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    setShowGrid(false);
    setWordWrap(false);
    setSortingEnabled(false);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    verticalHeader()->hide();
    // 50,000 rows: fixed heights keep scrolling and resets cheap.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSortIndicatorShown(true);
    // The list starts in item order; say so on the header (before the sort hook is connected).
    horizontalHeader()->setSortIndicator(RecordListColumn::indexOf(QStringLiteral("item")), Qt::AscendingOrder);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
    const QList<RecordListColumn> &columns = RecordListColumn::all();
    for (int c = 0; c < columns.size(); ++c) {
        horizontalHeader()->resizeSection(c, columns.at(c).width);
        QAction *entry = m_columnMenu->addAction(columns.at(c).title);
        entry->setCheckable(true);
        entry->setData(columns.at(c).identifier);
        connect(entry, &QAction::triggered, this,
                [this, id = columns.at(c).identifier] { m_controller->toggleColumn(id); });
    }
    connect(horizontalHeader(), &QHeaderView::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_columnMenu->exec(horizontalHeader()->mapToGlobal(pos)); });
    connect(horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) { m_model->sort(column, order); });
    connect(controller, &ListViewController::columnsChanged, this, &RecordListView::applyColumns);
    connect(controller, &ListViewController::selectionChanged, this, &RecordListView::showControllerSelection);
    connect(controller, &RecordViewController::refreshed, this, &RecordListView::showControllerSelection);
    connect(m_model, &QAbstractItemModel::modelReset, this, &RecordListView::showControllerSelection);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, &RecordListView::userSelectionChanged);
    applyColumns();
}

void RecordListView::applyColumns()
{
    const QList<RecordListColumn> &columns = RecordListColumn::all();
    for (int c = 0; c < columns.size(); ++c) {
        const bool visible = m_controller->isColumnVisible(columns.at(c).identifier);
        setColumnHidden(c, !visible);
        m_columnMenu->actions().at(c)->setChecked(visible);
    }
}

void RecordListView::showControllerSelection()
{
    m_syncing = true;
    QItemSelection selection;
    for (int row : m_controller->records().selectionIndexes())
        selection.select(m_model->index(row, 0), m_model->index(row, m_model->columnCount() - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const QList<int> rows = m_controller->records().selectionIndexes();
    if (!rows.isEmpty()) {
        selectionModel()->setCurrentIndex(m_model->index(rows.first(), 1), QItemSelectionModel::NoUpdate);
        scrollTo(m_model->index(rows.first(), 1));
    }
    m_syncing = false;
}

void RecordListView::userSelectionChanged()
{
    if (m_syncing)
        return;
    QList<int> rows;
    for (const QModelIndex &index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    m_controller->tableViewSelectionDidChange(rows);
}

void RecordListView::contextMenuEvent(QContextMenuEvent *event)
{
    const QModelIndex index = indexAt(viewport()->mapFromGlobal(event->globalPos()));
    if (!m_controller->contextMenuForRow(index.isValid() ? index.row() : -1))
        return;
    QMenu menu(this);
    menu.addActions(m_contextActions);
    if (!menu.isEmpty())
        menu.exec(event->globalPos());
}

void RecordListView::startDrag(Qt::DropActions supportedActions)
{
    // The records are offered as a move (onto a category row of the source list).
    Q_UNUSED(supportedActions);
    QTableView::startDrag(Qt::MoveAction | Qt::CopyAction);
}

void RecordListView::dragEnterEvent(QDragEnterEvent *event)
{
    // Only drops not started by the list itself, and only of files.
    if (event->source() == this || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void RecordListView::dragMoveEvent(QDragMoveEvent *event)
{
    if (event->source() == this || !event->mimeData()->hasUrls()) {
        event->ignore();
        return;
    }
    QTableView::dragMoveEvent(event);
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void RecordListView::dropEvent(QDropEvent *event)
{
    if (event->source() == this) {
        event->ignore();
        return;
    }
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    bool onRow = false;
    int row = -1;
    if (index.isValid()) {
        const QRect rect = visualRect(index);
        const int margin = std::min(3, rect.height() / 4);
        onRow = pos.y() >= rect.top() + margin && pos.y() <= rect.bottom() - margin;
        row = pos.y() > rect.bottom() - margin ? index.row() + 1 : index.row();
    }
    if (m_controller->performDrop(DragPayload::fromMimeData(event->mimeData()), row, onRow)) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}
