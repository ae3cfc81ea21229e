#pragma once

#include <QWidget>

class EnhancedRecordView;
class LocationBar;
class NavigationControllers;
class QActionGroup;
class QLabel;
class QSlider;
class QStackedWidget;
class RecordIconView;
class RecordListView;
class SearchField;

// The centre of the main window: the view switch, zoom and search above the
// location bar, and the icon, list or enhanced view of the visible records
// (or a note about the web group while one is selected).
class RecordArea : public QWidget
{
    Q_OBJECT

public:
    explicit RecordArea(NavigationControllers *controllers, QWidget *parent = nullptr);

    RecordListView *listView() const { return m_list; }
    RecordIconView *iconView() const { return m_icons; }
    EnhancedRecordView *enhancedView() const { return m_enhanced; }
    SearchField *searchField() const { return m_search; }
    LocationBar *locationBar() const { return m_locations; }
    QSlider *zoomSlider() const { return m_zoom; }
    // "as Icons", "as List", "as Enhanced": checkable, with shortcuts, for the View menu.
    QActionGroup *viewModeActions() const { return m_modes; }

private:
    void showMode(int mode);
    void showWebView(bool web);
    void updateCount();

    NavigationControllers *m_controllers;
    QActionGroup *m_modes;
    QSlider *m_zoom;
    SearchField *m_search;
    LocationBar *m_locations;
    QStackedWidget *m_stack;
    RecordIconView *m_icons;
    RecordListView *m_list;
    EnhancedRecordView *m_enhanced;
    QLabel *m_webNote;
    QLabel *m_count;
    bool m_web = false;
};
