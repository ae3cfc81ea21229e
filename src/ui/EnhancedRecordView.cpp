#include "ui/EnhancedRecordView.h"

#include "navigation/ListViewController.h"
#include "navigation/RecordListColumn.h"
#include "navigation/RecordListModel.h"
#include "store/ArrayController.h"
#include "ui/EnhancedDetailCard.h"

#include <QHBoxLayout>
#include <QListView>
#include <QScrollArea>
#include <QSplitter>

EnhancedRecordView::EnhancedRecordView(ListViewController *controller, QWidget *parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_model(new RecordListModel(controller, this))
    , m_names(new QListView)
    , m_card(new EnhancedDetailCard)
{
    setObjectName(QStringLiteral("enhancedView"));
    m_names->setObjectName(QStringLiteral("enhancedNames"));
    m_names->setModel(m_model);
    m_names->setModelColumn(RecordListColumn::indexOf(QStringLiteral("item")));
    m_names->setUniformItemSizes(true);
    m_names->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_names->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_names->setMinimumWidth(160);
    auto *scroll = new QScrollArea;
    scroll->setWidget(m_card);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *split = new QSplitter(Qt::Horizontal);
    split->addWidget(m_names);
    split->addWidget(scroll);
    split->setStretchFactor(1, 1);
    split->setSizes({ 200, 520 });
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(split);

    connect(controller, &ListViewController::selectionChanged, this, &EnhancedRecordView::showControllerSelection);
    connect(controller, &RecordViewController::refreshed, this, &EnhancedRecordView::showControllerSelection);
    connect(m_model, &QAbstractItemModel::modelReset, this, &EnhancedRecordView::showControllerSelection);
    connect(m_names->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (m_syncing)
            return;
        QList<int> rows;
        for (const QModelIndex &index : m_names->selectionModel()->selectedIndexes())
            rows.append(index.row());
        std::sort(rows.begin(), rows.end());
        m_controller->tableViewSelectionDidChange(rows);
        showControllerSelection();
    });
}

void EnhancedRecordView::showControllerSelection()
{
    m_syncing = true;
    const QList<int> rows = m_controller->records().selectionIndexes();
    QItemSelection selection;
    const int column = m_names->modelColumn();
    for (int row : rows)
        selection.select(m_model->index(row, column), m_model->index(row, column));
    m_names->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_card->setRecord(rows.isEmpty() ? nullptr : m_controller->records().arrangedObjects().value(rows.first()));
    m_syncing = false;
}
