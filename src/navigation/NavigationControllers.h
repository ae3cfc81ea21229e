#pragma once

#include <QObject>

#include <memory>

class CollectionViewController;
class ListViewController;
class LocationBarController;
class ManagedObjectContext;
class NoRecordSelectedController;
class RecordFormController;
class SearchFieldController;
class SmartFolderController;
class SourceListController;
class ViewModeController;

// The controllers of the main window's navigation for one open library, made
// together and started in the order the window loads them. The window, the
// tests and the benchmark all use this one set.
class NavigationControllers : public QObject
{
    Q_OBJECT

public:
    explicit NavigationControllers(ManagedObjectContext *context, QObject *parent = nullptr);
    ~NavigationControllers() override;

    // Starts every controller; the source list's first full refresh follows
    // after `firstRefreshDelayMs` (0: at the next turn of the event loop).
    void start(int firstRefreshDelayMs = 1000);

    ManagedObjectContext *context() const { return m_context; }
    SourceListController &sourceList() const { return *m_sourceList; }
    SearchFieldController &searchField() const { return *m_searchField; }
    LocationBarController &locationBar() const { return *m_locationBar; }
    ListViewController &listView() const { return *m_listView; }
    CollectionViewController &iconView() const { return *m_iconView; }
    NoRecordSelectedController &noRecordSelected() const { return *m_noRecordSelected; }
    RecordFormController &recordForm() const { return *m_recordForm; }
    ViewModeController &viewMode() const { return *m_viewMode; }
    SmartFolderController &smartFolders() const { return *m_smartFolders; }

    // Runs the refreshes requested during this turn of the event loop now.
    void flushPendingRefreshes();

private:
    ManagedObjectContext *m_context;
    std::unique_ptr<SearchFieldController> m_searchField;
    std::unique_ptr<LocationBarController> m_locationBar;
    std::unique_ptr<ListViewController> m_listView;
    std::unique_ptr<CollectionViewController> m_iconView;
    std::unique_ptr<NoRecordSelectedController> m_noRecordSelected;
    std::unique_ptr<RecordFormController> m_recordForm;
    std::unique_ptr<ViewModeController> m_viewMode;
    std::unique_ptr<SmartFolderController> m_smartFolders;
    std::unique_ptr<SourceListController> m_sourceList;
};
