#pragma once

#include "core/WindowCloseController.h"

#include <QMainWindow>

class QMenu;
class QSplitter;
class PreferencesWindow;
class Stashly2_AppDelegate;
class TroubleshootingWindow;

// The main window: source list on the left, records in the centre, the record's
// details on the right and the utility pane below. The panes fill in as their
// subsystems arrive; this class only lays them out and holds the menus.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // With a delegate, closing the window runs the quit sequence (and may be cancelled).
    explicit MainWindow(Stashly2_AppDelegate *delegate = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    PreferencesWindow *preferencesWindow();
    TroubleshootingWindow *troubleshootingWindow();

    QWidget *sourceListArea() const { return m_sourceArea; }
    QWidget *recordArea() const { return m_recordArea; }
    QWidget *detailArea() const { return m_detailArea; }
    QWidget *utilityPane() const { return m_utilityPane; }
    // Puts a subsystem's pane in place of an area's placeholder; the accessor
    // above then returns the pane.
    void setSourceListArea(QWidget *pane) { replaceArea(m_sourceArea, pane); }
    void setRecordArea(QWidget *pane) { replaceArea(m_recordArea, pane); }
    void setDetailArea(QWidget *pane) { replaceArea(m_detailArea, pane); }
    // The menus by object name: "fileMenu", "editMenu", "viewMenu", "windowMenu", "helpMenu".
    QMenu *menuNamed(const QString &objectName) const;

    // Ends editing in whatever field has the focus; false when it cannot end.
    bool commitEditing();

public slots:
    // The Close command: the window in front, in the program's close order.
    void closeMenuItem();
    void showPreferences();
    void showTroubleshooting();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    QWidget *makePlaceholder(const QString &text, const QString &objectName);
    void replaceArea(QWidget *&area, QWidget *pane);

    Stashly2_AppDelegate *m_delegate = nullptr;
    WindowCloseController m_closeController;
    bool m_terminating = false;
    QWidget *m_sourceArea = nullptr;
    QWidget *m_recordArea = nullptr;
    QWidget *m_detailArea = nullptr;
    QWidget *m_utilityPane = nullptr;
    PreferencesWindow *m_preferences = nullptr;
    TroubleshootingWindow *m_troubleshooting = nullptr;
};
