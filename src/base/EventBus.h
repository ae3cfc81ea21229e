#pragma once

#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

// One event: its name, the sender (any object, or none) and the payload.
struct Event
{
    QString name;
    const void *object = nullptr;
    QVariantMap userInfo;
};

// The process-wide event bus through which controllers talk. Delivery is
// synchronous, on the posting thread, before post() returns. Nothing is queued.
class EventBus
{
public:
    using Handler = std::function<void(const Event &)>;

    static EventBus &instance();

    // Calls every handler registered for `name` (and for `object`, where a
    // handler named one). A handler removed while an event is being delivered
    // is not called afterwards, even for that same event.
    void post(const QString &name, const void *object = nullptr, const QVariantMap &userInfo = {});

    // Registers `handler` of `observer` for `name`. With `object` set, only
    // events posted by that sender reach the handler.
    void observe(const void *observer, const QString &name, Handler handler, const void *object = nullptr);

    // Unregisters every handler of `observer`, or only those for `name`.
    void remove(const void *observer);
    void remove(const void *observer, const QString &name);

    int observerCount(const QString &name) const;

private:
    struct Registration
    {
        const void *observer;
        const void *object;
        Handler handler;
        bool alive = true;
    };
    using RegistrationPtr = std::shared_ptr<Registration>;

    std::unordered_map<QString, std::vector<RegistrationPtr>> m_byName;
};
