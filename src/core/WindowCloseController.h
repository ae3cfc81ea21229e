#pragma once

#include <QObject>

// The Close command (Ctrl+W): decides what one press closes. The interface
// reports which windows are shown and key; this controller picks the target,
// keeps the "reopen main window" item's visibility, and posts TBXTabIsClosing
// when a browser tab goes.
class WindowCloseController : public QObject
{
    Q_OBJECT

public:
    enum class Target { BrowserTab, About, Preferences, FileViewer, MainWindow, FileFinder, Nothing };

    struct WindowState
    {
        bool browserTabShown = false; // the main window's content shows the web browser
        int browserTabCount = 0;
        bool aboutKey = false;
        bool preferencesKey = false;
        bool fileViewerVisible = false;
        bool mainWindowKey = false;
        bool fileFinderKey = false;
    };

    explicit WindowCloseController(QObject *parent = nullptr)
        : QObject(parent)
    {
    }

    // What the command closes for this state; posts TBXTabIsClosing for a tab and
    // shows the reopen item when the main window closes.
    Target closeMenuItem(const WindowState &state);
    static Target targetFor(const WindowState &state);

    bool reopenMainWindowItemVisible() const { return m_reopenVisible; }
    // The reopen item was chosen: the main window comes back and the item hides.
    void reopenMainWindow();

signals:
    void reopenItemVisibilityChanged(bool visible);

private:
    void setReopenVisible(bool visible);
    bool m_reopenVisible = false;
};
