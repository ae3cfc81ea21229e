#include "ui/NewRecordCommand.h"

#include "core/Record.h"
#include "core/SaveFailureConvention.h"
#include "records/RecordController.h"
#include "store/ManagedObjectContext.h"
#include "ui/MainWindow.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QToolBar>

NewRecordCommand::NewRecordCommand(MainWindow *window, RecordController *controller)
    : QObject(window)
    , m_window(window)
    , m_controller(controller)
{
    m_action = new QAction(QIcon(QStringLiteral(":/camera.png")), tr("New Record"), this);
    m_action->setObjectName(QStringLiteral("newRecordAction"));
    m_action->setShortcut(QKeySequence::New);
    m_action->setToolTip(tr("Make a new record in the selected category"));

    // File is the first menu of the main window.
    if (QAction *fileMenu = window->menuBar()->actions().value(0))
        if (QMenu *file = fileMenu->menu())
            file->insertAction(file->actions().value(0), m_action);
    if (auto *toolbar = window->findChild<QToolBar *>(QStringLiteral("mainToolBar"))) {
        toolbar->insertAction(toolbar->actions().value(0), m_action);
        if (!window->findChild<QLineEdit *>(itemNameFieldName)) {
            toolbar->addSeparator();
            toolbar->addWidget(new QLabel(tr("Item:")));
            m_standIn = new QLineEdit;
            m_standIn->setObjectName(itemNameFieldName);
            m_standIn->setMaximumWidth(260);
            m_standIn->setEnabled(false);
            toolbar->addWidget(m_standIn);
            connect(m_standIn, &QLineEdit::editingFinished, this, [this] {
                if (!m_shown || m_shown->isDeleted() || m_shown->item() == m_standIn->text())
                    return;
                m_shown->setItem(m_standIn->text());
                if (ManagedObjectContext *context = m_shown->managedObjectContext())
                    SaveFailureConvention::commitChanges(*context, m_shown);
            });
        }
    }

    connect(m_action, &QAction::triggered, this, [this] {
        m_window->commitEditing();
        m_controller->addNewRecordMenuButton();
    });
    connect(m_controller, &RecordController::newRecordReadyForEditing, this, &NewRecordCommand::focusItemName);
}

NewRecordCommand::~NewRecordCommand() = default;

QLineEdit *NewRecordCommand::itemNameField() const
{
    // A record form that arrives later brings its own field of that name.
    const QList<QLineEdit *> fields = m_window->findChildren<QLineEdit *>(itemNameFieldName);
    for (QLineEdit *field : fields)
        if (field != m_standIn && field->isVisibleTo(m_window))
            return field;
    return m_standIn;
}

void NewRecordCommand::focusItemName(Record *record)
{
    QLineEdit *field = itemNameField();
    if (!field || !record)
        return;
    if (field == m_standIn) {
        m_shown = record;
        m_standIn->setEnabled(true);
        m_standIn->setText(record->item());
    }
    for (QWidget *w = field->parentWidget(); w; w = w->parentWidget())
        if (auto *scroll = qobject_cast<QScrollArea *>(w)) {
            scroll->ensureWidgetVisible(field);
            break;
        }
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}
