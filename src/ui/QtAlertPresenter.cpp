#include "ui/QtAlertPresenter.h"

#include <QMessageBox>
#include <QPushButton>

void QtAlertPresenter::dismissAll()
{
    m_dismissed = true;
    // Not close(): that would press the escape button, which may be the
    // alert's second choice.
    if (m_open)
        m_open->done(QMessageBox::Accepted);
}

int QtAlertPresenter::present(const Alert &alert)
{
    if (m_dismissed)
        return 1000;
    QMessageBox box(m_parent);
    switch (alert.style) {
    case Alert::Style::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case Alert::Style::Informational:
        box.setIcon(QMessageBox::Information);
        break;
    case Alert::Style::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    }
    box.setWindowTitle(alert.title);
    box.setText(alert.title);
    box.setInformativeText(alert.message);
    QList<QAbstractButton *> buttons;
    for (int i = 0; i < alert.buttons.size(); ++i) {
        const auto role = i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole;
        QPushButton *b = box.addButton(alert.buttons.at(i), role);
        if (i == 0)
            box.setDefaultButton(b);
        buttons.append(b);
    }
    m_open = &box;
    box.exec();
    m_open = nullptr;
    if (m_dismissed)
        return 1000;
    const int index = int(buttons.indexOf(box.clickedButton()));
    return 1000 + (index < 0 ? 0 : index);
}
