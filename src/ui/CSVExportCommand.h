#pragma once

#include <QObject>

class ArrayController;
class MainWindow;
class QAction;

// File > Export > CSV...: the records selected in the record list, in the
// list's order, to a file the user picks. A file that cannot be written is told
// in an alert, so nobody believes in an export that did not happen.
class CSVExportCommand : public QObject
{
    Q_OBJECT

public:
    // `records` is the record list's controller: its arranged objects and selection.
    CSVExportCommand(MainWindow *window, ArrayController *records);

    QAction *action() const { return m_action; }

    // The save panel; when the user confirms, exportTo the chosen path.
    void exportCSVMenu();
    // Writes the selected records; false, after the alert, when the file cannot be written.
    bool exportTo(const QString &chosen);

private:
    MainWindow *m_window;
    ArrayController *m_records;
    QAction *m_action;
};
