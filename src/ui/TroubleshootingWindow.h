#pragma once

#include "core/TroubleshootingController.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TroubleshootingWindow;
}

// Shows the log file and the log level; all logic is in the controller.
class TroubleshootingWindow : public QDialog
{
    Q_OBJECT

public:
    explicit TroubleshootingWindow(QWidget *parent = nullptr);
    ~TroubleshootingWindow() override;

    TroubleshootingController &controller() { return m_controller; }
    void openWindow();

protected:
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void renderLog();

    std::unique_ptr<Ui::TroubleshootingWindow> m_ui;
    TroubleshootingController m_controller;
};
