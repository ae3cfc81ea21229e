#pragma once

#include <QObject>

class CSVExportCommand;
class ManagedObjectContext;
class MainWindow;
class NavigationControllers;
class QAction;
class RecordArea;
class RecordForm;
class SmartFolderSheet;
class SourceListView;

// Puts the navigation into the main window: the source list, the record area
// (views, search, location bar), the record form, the smart folder sheet, and
// their commands in the menus, the toolbar and the context menus. The
// controllers start here, in the order the window loads them.
class NavigationPanes : public QObject
{
    Q_OBJECT

public:
    NavigationPanes(MainWindow *window, ManagedObjectContext *context, int firstRefreshDelayMs = 1000);
    ~NavigationPanes() override;

    NavigationControllers &controllers() const { return *m_controllers; }
    SourceListView *sourceList() const { return m_sourceList; }
    RecordArea *recordArea() const { return m_recordArea; }
    RecordForm *recordForm() const { return m_form; }
    SmartFolderSheet *smartFolderSheet() const { return m_sheet; }
    QAction *newSmartFolderAction() const { return m_newSmartFolder; }
    CSVExportCommand *csvExport() const { return m_csvExport; }

private:
    void buildCommands();
    // The record context menu: the window's record commands that exist now.
    QList<QAction *> recordContextActions() const;

    MainWindow *m_window;
    NavigationControllers *m_controllers;
    SourceListView *m_sourceList;
    RecordArea *m_recordArea;
    RecordForm *m_form;
    SmartFolderSheet *m_sheet;
    QAction *m_newSmartFolder = nullptr;
    QAction *m_editSource = nullptr;
    CSVExportCommand *m_csvExport = nullptr;
};
