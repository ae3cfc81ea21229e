#include "ui/MainWindow.h"

#include "core/Stashly2_AppDelegate.h"
#include "ui/PreferencesWindow.h"
#include "ui/TroubleshootingWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

// The resource file lives in this static library; it must be registered by hand.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
}

MainWindow::MainWindow(Stashly2_AppDelegate *delegate, QWidget *parent)
    : QMainWindow(parent)
    , m_delegate(delegate)
{
    initResources();
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Stashly"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/stashly.svg")));
    resize(1200, 760);

    m_sourceArea = makePlaceholder(tr("Library"), QStringLiteral("sourceListArea"));
    m_recordArea = makePlaceholder(tr("No records yet"), QStringLiteral("recordArea"));
    m_detailArea = makePlaceholder(tr("No Record Selected"), QStringLiteral("detailArea"));
    m_utilityPane = makePlaceholder(QString(), QStringLiteral("utilityPane"));
    m_utilityPane->setMinimumHeight(28);

    auto *centre = new QSplitter(Qt::Horizontal);
    centre->addWidget(m_sourceArea);
    centre->addWidget(m_recordArea);
    centre->addWidget(m_detailArea);
    centre->setStretchFactor(0, 0);
    centre->setStretchFactor(1, 1);
    centre->setStretchFactor(2, 0);
    centre->setSizes({ 220, 680, 300 });

    auto *vertical = new QSplitter(Qt::Vertical);
    vertical->addWidget(centre);
    vertical->addWidget(m_utilityPane);
    vertical->setStretchFactor(0, 1);
    vertical->setStretchFactor(1, 0);
    setCentralWidget(vertical);

    // The preferences controller must hear the first-run event of a new library.
    m_preferences = new PreferencesWindow(this);

    buildMenus();
    statusBar()->showMessage(tr("Ready"));
}

MainWindow::~MainWindow() = default;

QWidget *MainWindow::makePlaceholder(const QString &text, const QString &objectName)
{
    auto *label = new QLabel(text);
    label->setObjectName(objectName);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: palette(mid);"));
    return label;
}

void MainWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    QAction *close = file->addAction(tr("&Close Window"), this, &MainWindow::closeMenuItem);
    close->setShortcut(QKeySequence::Close);
    close->setShortcutContext(Qt::ApplicationShortcut); // closes whichever of our windows is in front
    if (m_delegate) {
        QAction *save = file->addAction(tr("&Save"), this, [this] { m_delegate->saveAction(); });
        save->setShortcut(QKeySequence::Save);
    }
    file->addSeparator();
    QAction *quit = file->addAction(tr("&Quit Stashly"), this, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);

    QMenu *edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    if (m_delegate) {
        // One undo history for the whole program, kept by the store.
        QAction *undo = edit->addAction(tr("&Undo"), this, [this] { m_delegate->undoAction(); });
        undo->setObjectName(QStringLiteral("undoAction"));
        undo->setShortcut(QKeySequence::Undo);
        QAction *redo = edit->addAction(tr("&Redo"), this, [this] { m_delegate->redoAction(); });
        redo->setObjectName(QStringLiteral("redoAction"));
        redo->setShortcut(QKeySequence::Redo);
        const auto refresh = [this, undo, redo] {
            undo->setEnabled(m_delegate->canUndo());
            redo->setEnabled(m_delegate->canRedo());
        };
        connect(m_delegate, &Stashly2_AppDelegate::undoStateChanged, this, refresh);
        refresh();
        edit->addSeparator();
    }
    QAction *prefs = edit->addAction(tr("&Preferences..."), this, &MainWindow::showPreferences);
    prefs->setShortcut(QKeySequence(QStringLiteral("Ctrl+,")));
    prefs->setMenuRole(QAction::PreferencesRole);

    menuBar()->addMenu(tr("&View"))->setObjectName(QStringLiteral("viewMenu"));

    QMenu *window = menuBar()->addMenu(tr("&Window"));
    window->setObjectName(QStringLiteral("windowMenu"));
    window->addAction(tr("&Troubleshooting"), this, &MainWindow::showTroubleshooting);

    QMenu *help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(tr("&About Stashly"), this, [this] {
        QMessageBox::about(
            this, tr("About Stashly"),
            tr("<b>Stashly</b> %1<br>Keep track of everything you own.").arg(QApplication::applicationVersion()));
    });

    QToolBar *toolbar = addToolBar(tr("Main"));
    toolbar->setObjectName(QStringLiteral("mainToolBar"));
    toolbar->setMovable(false);
    toolbar->addAction(prefs);
}

QMenu *MainWindow::menuNamed(const QString &objectName) const
{
    return menuBar()->findChild<QMenu *>(objectName, Qt::FindDirectChildrenOnly);
}

void MainWindow::replaceArea(QWidget *&area, QWidget *pane)
{
    if (auto *splitter = qobject_cast<QSplitter *>(area->parentWidget())) {
        const QList<int> sizes = splitter->sizes();
        splitter->replaceWidget(splitter->indexOf(area), pane);
        splitter->setSizes(sizes);
        area->deleteLater();
    }
    area = pane;
}

void MainWindow::closeMenuItem()
{
    WindowCloseController::WindowState state;
    state.preferencesKey = m_preferences && m_preferences->isActiveWindow();
    state.mainWindowKey = isActiveWindow();
    switch (m_closeController.closeMenuItem(state)) {
    case WindowCloseController::Target::Preferences:
        m_preferences->close();
        break;
    case WindowCloseController::Target::MainWindow:
        close();
        break;
    default:
        break;
    }
}

bool MainWindow::commitEditing()
{
    // Moving the focus away ends the edit of a line or text field, as a click
    // elsewhere would.
    if (QWidget *focus = QApplication::focusWidget())
        focus->clearFocus();
    return true;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_delegate || m_terminating) {
        QMainWindow::closeEvent(event);
        return;
    }
    if (m_delegate->applicationShouldTerminate() == Stashly2_AppDelegate::TerminateReply::Cancel) {
        event->ignore();
        return;
    }
    m_terminating = true;
    event->accept();
    // Closing the main window ends the program, whatever other windows are open.
    QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

PreferencesWindow *MainWindow::preferencesWindow()
{
    if (!m_preferences)
        m_preferences = new PreferencesWindow(this);
    return m_preferences;
}

TroubleshootingWindow *MainWindow::troubleshootingWindow()
{
    if (!m_troubleshooting)
        m_troubleshooting = new TroubleshootingWindow(this);
    return m_troubleshooting;
}

void MainWindow::showPreferences()
{
    preferencesWindow()->openWindow();
}

void MainWindow::showTroubleshooting()
{
    troubleshootingWindow()->openWindow();
}
