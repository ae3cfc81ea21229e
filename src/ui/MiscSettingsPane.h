#pragma once

#include <QWidget>

#include <memory>

class PreferenceController;
namespace Ui {
class MiscSettingsPane;
}

// The format and colour-scheme menus of the preferences window.
class MiscSettingsPane : public QWidget
{
    Q_OBJECT

public:
    explicit MiscSettingsPane(PreferenceController &controller, QWidget *parent = nullptr);
    ~MiscSettingsPane() override;

private:
    void render();

    std::unique_ptr<Ui::MiscSettingsPane> m_ui;
    PreferenceController &m_controller;
};
