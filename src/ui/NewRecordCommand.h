#pragma once

#include <QObject>
#include <QPointer>

class MainWindow;
class QAction;
class QLineEdit;
class Record;
class RecordController;

// The New Record command of the main window: File menu, toolbar and Ctrl+N.
// It ends the edit in progress, makes the record through the record controller
// and puts the text cursor into the item name with the text selected.
//
// The item name field is the widget named "itemNameField" (the record form's,
// once it is there). Until a form provides one, a small field in the toolbar
// stands in: it shows the item of the newest record and sets it on Return.
class NewRecordCommand : public QObject
{
    Q_OBJECT

public:
    static inline const QString itemNameFieldName = QStringLiteral("itemNameField");

    NewRecordCommand(MainWindow *window, RecordController *controller);
    ~NewRecordCommand() override;

    QAction *action() const { return m_action; }

    // Shows `record` and focuses the item name field with its text selected.
    void focusItemName(Record *record);

private:
    QLineEdit *itemNameField() const;

    MainWindow *m_window;
    RecordController *m_controller;
    QAction *m_action = nullptr;
    QPointer<QLineEdit> m_standIn;
    Record *m_shown = nullptr;
};
