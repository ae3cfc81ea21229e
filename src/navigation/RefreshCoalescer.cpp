#include "navigation/RefreshCoalescer.h"

#include <QMetaObject>

RefreshCoalescer::RefreshCoalescer(std::function<void()> refresh)
    : m_refresh(std::move(refresh))
{
}

RefreshCoalescer::~RefreshCoalescer() = default;

void RefreshCoalescer::request()
{
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(
        &m_guard, [this] { flush(); }, Qt::QueuedConnection);
}

void RefreshCoalescer::flush()
{
    if (!m_pending)
        return;
    m_pending = false;
    m_refresh();
}
