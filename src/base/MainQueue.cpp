#include "base/MainQueue.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QTimer>

namespace MainQueue {

void async(std::function<void()> fn)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(fn), Qt::QueuedConnection);
}

void after(int ms, std::function<void()> fn)
{
    QObject *app = QCoreApplication::instance();
    QMetaObject::invokeMethod(
        app, [app, ms, fn = std::move(fn)]() mutable { QTimer::singleShot(ms, app, std::move(fn)); },
        Qt::QueuedConnection);
}

} // namespace MainQueue
