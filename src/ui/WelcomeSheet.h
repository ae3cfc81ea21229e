#pragma once

#include <QDialog>

#include <memory>

class TBXFirstRunSetup;
namespace Ui {
class WelcomeSheet;
}

// The welcome sheet of a new library: renders the first-run controller's pages
// and buttons and hands the clicks to it. Window-modal on the main window, so
// the main menu waits until the sheet ends.
class WelcomeSheet : public QDialog
{
    Q_OBJECT

public:
    WelcomeSheet(TBXFirstRunSetup *setup, QWidget *parent = nullptr);
    ~WelcomeSheet() override;

    // Looks for an older library and shows the sheet.
    void open() override;

protected:
    void reject() override;

private:
    void render();

    std::unique_ptr<Ui::WelcomeSheet> m_ui;
    TBXFirstRunSetup *m_setup;
};
