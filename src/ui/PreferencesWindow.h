#pragma once

#include "core/PreferenceController.h"

#include <QMainWindow>

#include <memory>

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
    void setPane(int index, QWidget *pane);
    QWidget *pane(int index) const;
    void openWindow();

private:
    void render();

    std::unique_ptr<Ui::PreferencesWindow> m_ui;
    PreferenceController m_controller;
    QActionGroup *m_paneActions = nullptr;
    int m_shownPane = -1;
};
