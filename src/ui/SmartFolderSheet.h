#pragma once

#include <QDialog>
#include <QPointer>

#include <memory>

class RuleEditorWidget;
class SmartFolderController;
namespace Ui {
class SmartFolderSheet;
}

// The add/edit sheet of a smart folder, shown window-modal over the main
// window whenever the controller opens it.
class SmartFolderSheet : public QDialog
{
    Q_OBJECT

public:
    explicit SmartFolderSheet(SmartFolderController *controller, QWidget *parent = nullptr);
    ~SmartFolderSheet() override;

    RuleEditorWidget *ruleEditor() const { return m_rules; }

protected:
    void reject() override;

private:
    void render();

    std::unique_ptr<Ui::SmartFolderSheet> m_ui;
    // The window may outlive the controllers when it is torn down.
    QPointer<SmartFolderController> m_controller;
    RuleEditorWidget *m_rules;
};
