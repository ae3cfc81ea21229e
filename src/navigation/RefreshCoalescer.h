#pragma once

#include <QObject>

#include <functional>

// Runs a refresh once at the next turn of the event loop however often it was
// requested during this turn. The views and the source list rebuild from their
// current state, so the end state is the same as refreshing on every request.
class RefreshCoalescer
{
public:
    explicit RefreshCoalescer(std::function<void()> refresh);
    ~RefreshCoalescer();
    RefreshCoalescer(const RefreshCoalescer &) = delete;
    RefreshCoalescer &operator=(const RefreshCoalescer &) = delete;

    void request();
    bool isPending() const { return m_pending; }
    // Runs a pending refresh now.
    void flush();
    // Drops a pending refresh (a refresh that just ran made it redundant).
    void cancel() { m_pending = false; }

private:
    std::function<void()> m_refresh;
    bool m_pending = false;
    // Queued calls die with it, so a destroyed owner is never called back.
    QObject m_guard;
};
