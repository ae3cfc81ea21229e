#include "ui/SmartFolderSheet.h"

#include "navigation/SmartFolderController.h"
#include "ui/RuleEditorWidget.h"
#include "ui_SmartFolderSheet.h"

#include <QVBoxLayout>

SmartFolderSheet::SmartFolderSheet(SmartFolderController *controller, QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::SmartFolderSheet>())
    , m_controller(controller)
    , m_rules(new RuleEditorWidget)
{
    m_ui->setupUi(this);
    setWindowModality(Qt::WindowModal);
    auto *layout = new QVBoxLayout(m_ui->ruleAreaContents);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_rules);
    connect(m_ui->confirmButton, &QPushButton::clicked, controller,
            &SmartFolderController::addEditSmartFolderButtonAction);
    connect(m_ui->cancelButton, &QPushButton::clicked, controller,
            &SmartFolderController::cancelAddEditSmartFolderButtonAction);
    connect(m_ui->nameField, &QLineEdit::textEdited, controller, &SmartFolderController::setFolderName);
    connect(controller, &SmartFolderController::sheetChanged, this, &SmartFolderSheet::render);
    // Ending editing in the sheet hands the name field's text over.
    controller->setEndEditingHandler([this] { m_controller->setFolderName(m_ui->nameField->text()); });
    render();
}

SmartFolderSheet::~SmartFolderSheet()
{
    if (m_controller)
        m_controller->setEndEditingHandler({});
}

void SmartFolderSheet::render()
{
    if (!m_controller->isSheetOpen()) {
        if (isVisible())
            QDialog::hide();
        return;
    }
    setWindowTitle(m_controller->sheetTitle());
    m_ui->confirmButton->setText(m_controller->confirmButtonTitle());
    m_ui->cancelButton->setVisible(m_controller->isCancelVisible());
    // Why Add or Save did nothing, beside the button the user pressed.
    m_ui->problemLabel->setText(m_controller->problem());
    m_ui->problemLabel->setVisible(!m_controller->problem().isEmpty());
    if (!isVisible()) {
        m_ui->nameField->setText(m_controller->folderName());
        m_rules->setModel(&m_controller->ruleEditor());
        m_ui->nameField->selectAll();
        m_ui->nameField->setFocus();
        open();
    }
}

void SmartFolderSheet::reject()
{
    // Escape: cancels a new folder; an edit has no Cancel and keeps what was typed.
    if (m_controller->isCancelVisible())
        m_controller->cancelAddEditSmartFolderButtonAction();
    else
        m_controller->addEditSmartFolderButtonAction();
}
