#pragma once

#include "base/AlertPresenter.h"

#include <QPointer>

class QMessageBox;
class QWidget;

// Shows alerts as message boxes over the main window.
class QtAlertPresenter : public AlertPresenter
{
public:
    explicit QtAlertPresenter(QWidget *parent = nullptr)
        : m_parent(parent)
    {
    }
    void setParent(QWidget *parent) { m_parent = parent; }
    int present(const Alert &alert) override;

    // The program is quitting (a signal): the open alert closes as if its
    // default button was chosen, and later ones answer so without showing.
    void dismissAll();

private:
    QWidget *m_parent;
    QPointer<QMessageBox> m_open;
    bool m_dismissed = false;
};
