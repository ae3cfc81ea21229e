#pragma once

#include <QLineEdit>
#include <QTimer>

class SearchFieldController;

// The search field: searches as the user types (after a short pause, at once on
// Return) and empties itself when the controller says so.
class SearchField : public QLineEdit
{
    Q_OBJECT

public:
    explicit SearchField(SearchFieldController *controller, QWidget *parent = nullptr);

private:
    void search();

    SearchFieldController *m_controller;
    QTimer m_pause;
};
