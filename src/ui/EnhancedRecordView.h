#pragma once

#include <QWidget>

class EnhancedDetailCard;
class ListViewController;
class QListView;
class RecordListModel;

// The enhanced view: the visible records by name on the left and the selected
// record's card on the right. It shares the list view's records and selection.
class EnhancedRecordView : public QWidget
{
    Q_OBJECT

public:
    explicit EnhancedRecordView(ListViewController *controller, QWidget *parent = nullptr);

    EnhancedDetailCard *card() const { return m_card; }
    QListView *names() const { return m_names; }

private:
    void showControllerSelection();

    ListViewController *m_controller;
    RecordListModel *m_model;
    QListView *m_names;
    EnhancedDetailCard *m_card;
    bool m_syncing = false;
};
