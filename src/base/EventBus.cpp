#include "base/EventBus.h"

#include <algorithm>

EventBus &EventBus::instance()
{
    static EventBus bus;
    return bus;
}

void EventBus::post(const QString &name, const void *object, const QVariantMap &userInfo)
{
    auto it = m_byName.find(name);
    if (it == m_byName.end())
        return;
    // Deliver over a snapshot: handlers may register or remove observers while
    // they run. The alive flag keeps a removed handler from being called.
    const std::vector<RegistrationPtr> snapshot = it->second;
    const Event event { name, object, userInfo };
    for (const RegistrationPtr &reg : snapshot) {
        if (!reg->alive)
            continue;
        if (reg->object && reg->object != object)
            continue;
        reg->handler(event);
    }
}

void EventBus::observe(const void *observer, const QString &name, Handler handler, const void *object)
{
    m_byName[name].push_back(std::make_shared<Registration>(Registration { observer, object, std::move(handler) }));
}

void EventBus::remove(const void *observer)
{
    for (auto it = m_byName.begin(); it != m_byName.end();) {
        auto &regs = it->second;
        std::erase_if(regs, [observer](const RegistrationPtr &reg) {
            if (reg->observer != observer)
                return false;
            reg->alive = false;
            return true;
        });
        it = regs.empty() ? m_byName.erase(it) : std::next(it);
    }
}

void EventBus::remove(const void *observer, const QString &name)
{
    auto it = m_byName.find(name);
    if (it == m_byName.end())
        return;
    std::erase_if(it->second, [observer](const RegistrationPtr &reg) {
        if (reg->observer != observer)
            return false;
        reg->alive = false;
        return true;
    });
    if (it->second.empty())
        m_byName.erase(it);
}

int EventBus::observerCount(const QString &name) const
{
    auto it = m_byName.find(name);
    return it == m_byName.end() ? 0 : int(it->second.size());
}
