#pragma once

#include <QList>
#include <QTableView>

class ListViewController;
class QAction;
class QMenu;
class RecordListModel;

// The list view: the table of visible records. Selection, sorting, the column
// menu, drags and drops go through the ListViewController.
class RecordListView : public QTableView
{
    Q_OBJECT

public:
    explicit RecordListView(ListViewController *controller, QWidget *parent = nullptr);

    RecordListModel *recordModel() const { return m_model; }
    // The column menu (one checkable entry per column), also shown in the View menu.
    QMenu *columnMenu() const { return m_columnMenu; }
    // Entries of the row context menu, given by the window.
    void setContextActions(const QList<QAction *> &actions) { m_contextActions = actions; }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void applyColumns();
    void showControllerSelection();
    void userSelectionChanged();

    ListViewController *m_controller;
    RecordListModel *m_model;
    QMenu *m_columnMenu;
    QList<QAction *> m_contextActions;
    bool m_syncing = false;
};
