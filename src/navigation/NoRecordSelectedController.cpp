#include "navigation/NoRecordSelectedController.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "navigation/SelectedAssets.h"

NoRecordSelectedController::NoRecordSelectedController(QObject *parent)
    : QObject(parent)
{
    for (const QString &name : { Events::TBXImageBrowserSelectionChanged, Events::TBXRecordListSelectionChanged })
        EventBus::instance().observe(this, name, [this](const Event &e) {
            const bool enabled = !SelectedAssets::fromVariant(e.userInfo.value(EventKeys::selectedAssets)).isEmpty();
            if (enabled == m_enabled)
                return;
            m_enabled = enabled;
            emit controlsEnabledChanged(enabled);
        });
}

NoRecordSelectedController::~NoRecordSelectedController()
{
    EventBus::instance().remove(this);
}
