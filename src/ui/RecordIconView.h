#pragma once

#include <QList>
#include <QListView>

class CollectionViewController;
class QAction;
class RecordIconDelegate;
class RecordIconModel;

// The icon view: thumbnails of the visible records, sized by the zoom slider.
// Selection, drags and drops go through the CollectionViewController.
class RecordIconView : public QListView
{
    Q_OBJECT

public:
    explicit RecordIconView(CollectionViewController *controller, QWidget *parent = nullptr);

    RecordIconModel *iconModel() const { return m_model; }
    void setContextActions(const QList<QAction *> &actions) { m_contextActions = actions; }
    // The side of the icons at a zoom between 0 and 1.
    static int iconSideForZoom(double zoom);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void applyZoom(double zoom);
    void showControllerSelection();
    void userSelectionChanged();

    CollectionViewController *m_controller;
    RecordIconModel *m_model;
    RecordIconDelegate *m_delegate;
    QList<QAction *> m_contextActions;
    bool m_syncing = false;
    bool m_userInput = false;
};
