#include "ui/TroubleshootingWindow.h"

#include "base/Workspace.h"
#include "ui_TroubleshootingWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>

TroubleshootingWindow::TroubleshootingWindow(QWidget *parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::TroubleshootingWindow>())
{
    m_ui->setupUi(this);
    m_ui->pathLabel->setText(m_controller.logPath());
    m_ui->levelPopup->addItems(TroubleshootingController::logLevelMenu());
    m_ui->levelPopup->setCurrentIndex(m_controller.logLevelIndex());

    connect(&m_controller, &TroubleshootingController::logTextChanged, this, &TroubleshootingWindow::renderLog);
    connect(m_ui->levelPopup, &QComboBox::activated, &m_controller, &TroubleshootingController::logLevelPopupClicked);
    connect(m_ui->clearButton, &QPushButton::clicked, &m_controller, &TroubleshootingController::clearLog);
    connect(m_ui->copyButton, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(m_controller.copyLog()); });
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::close);
    connect(m_ui->knowledgeBaseButton, &QPushButton::clicked, this,
            [] { Workspace::openUrl(TroubleshootingController::knowledgeBaseUrl()); });
    connect(m_ui->problemReportButton, &QPushButton::clicked, this,
            [] { Workspace::openUrl(TroubleshootingController::problemReportUrl()); });
    connect(m_ui->screenRecordingButton, &QPushButton::clicked, this,
            [] { Workspace::openUrl(TroubleshootingController::screenRecordingUrl()); });
}

TroubleshootingWindow::~TroubleshootingWindow() = default;

void TroubleshootingWindow::openWindow()
{
    show();
    raise();
    activateWindow();
    m_controller.openWindow();
    renderLog();
}

void TroubleshootingWindow::renderLog()
{
    QScrollBar *bar = m_ui->logView->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    m_ui->logView->setPlainText(m_controller.logText());
    if (atEnd)
        bar->setValue(bar->maximum());
}

void TroubleshootingWindow::closeEvent(QCloseEvent *event)
{
    m_controller.closeTSWindow();
    QDialog::closeEvent(event);
}

void TroubleshootingWindow::hideEvent(QHideEvent *event)
{
    m_controller.closeTSWindow();
    QDialog::hideEvent(event);
}
