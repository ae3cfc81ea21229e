#pragma once

#include "core/PreferenceController.h"

#include <QMainWindow>
#include <QMap>

#include <memory>
#include <optional>

class QAction;
class QActionGroup;
namespace Ui {
class PreferencesWindow;
}

// The preferences window: a toolbar of seven panes. Each subsystem puts its
// pane in with setPane(); until then a pane shows a short placeholder.
class PreferencesWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit PreferencesWindow(QWidget *parent = nullptr);
    ~PreferencesWindow() override;

    PreferenceController &controller() { return m_controller; }
    void setPane(PreferenceController::Pane pane, QWidget *widget);
    QWidget *pane(PreferenceController::Pane pane) const;
    void openWindow();

private:
    void render();

    std::unique_ptr<Ui::PreferencesWindow> m_ui;
    PreferenceController m_controller;
    QActionGroup *m_paneActions = nullptr;
    QMap<PreferenceController::Pane, QAction *> m_actions;
    std::optional<PreferenceController::Pane> m_shownPane;
};
