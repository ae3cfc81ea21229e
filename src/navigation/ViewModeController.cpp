#include "navigation/ViewModeController.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "base/Settings.h"
#include "navigation/RecordViewController.h"

ViewModeController::ViewModeController(QObject *parent)
    : QObject(parent)
    , m_mode(storedViewMode())
{
}

int ViewModeController::storedViewMode()
{
    if (!Settings::contains(Settings::viewMode))
        return RecordViewController::ListMode;
    const int mode = Settings::integer(Settings::viewMode);
    return mode >= 0 && mode <= 2 ? mode : int(RecordViewController::ListMode);
}

void ViewModeController::setViewMode(int mode)
{
    if (mode < 0 || mode > 2)
        return;
    m_mode = mode;
    Settings::setValue(Settings::viewMode, mode);
    emit viewModeChanged(mode);
    EventBus::instance().post(Events::TBXViewModeChanged, this,
                              { { EventKeys::viewMode, RecordViewController::textFromMode(mode) } });
}
