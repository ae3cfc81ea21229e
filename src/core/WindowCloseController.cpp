#include "core/WindowCloseController.h"

#include "base/EventBus.h"
#include "base/Events.h"

WindowCloseController::Target WindowCloseController::targetFor(const WindowState &state)
{
    if (state.browserTabShown && state.browserTabCount > 1)
        return Target::BrowserTab;
    if (state.aboutKey)
        return Target::About;
    if (state.preferencesKey)
        return Target::Preferences;
    if (state.fileViewerVisible)
        return Target::FileViewer;
    if (state.mainWindowKey)
        return Target::MainWindow;
    if (state.fileFinderKey)
        return Target::FileFinder;
    return Target::Nothing;
}

WindowCloseController::Target WindowCloseController::closeMenuItem(const WindowState &state)
{
    const Target target = targetFor(state);
    if (target == Target::BrowserTab)
        EventBus::instance().post(Events::TBXTabIsClosing, this);
    else if (target == Target::MainWindow)
        setReopenVisible(true);
    return target;
}

void WindowCloseController::reopenMainWindow()
{
    setReopenVisible(false);
}

void WindowCloseController::setReopenVisible(bool visible)
{
    if (m_reopenVisible == visible)
        return;
    m_reopenVisible = visible;
    emit reopenItemVisibilityChanged(visible);
}
