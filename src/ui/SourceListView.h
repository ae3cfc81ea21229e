#pragma once

#include <QTreeView>

class SourceListController;
class SourceListModel;
class SourceListItem;

// The source list on the left of the main window. It shows the controller's
// tree and reports clicks, expansion, double clicks, right clicks and drops
// back to it; the controller decides everything.
class SourceListView : public QTreeView
{
    Q_OBJECT

public:
    explicit SourceListView(SourceListController *controller, QWidget *parent = nullptr);

    SourceListModel *sourceModel() const { return m_model; }
    // The row position (headers counted) of a model index, and back.
    int rowPosition(const QModelIndex &index) const;
    QModelIndex indexAtPosition(int row) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void showControllerSelection();
    void expandFromController();
    void userSelectionChanged();
    void showContextMenu(const QPoint &pos);
    // The row a drop at `pos` aims at, or -1 when it is not acceptable.
    int dropRow(const QPoint &pos, const QMimeData *data) const;

    SourceListController *m_controller;
    SourceListModel *m_model;
    bool m_syncing = false;
};
