#include "UnixSignalQuit.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_fds[2] = { -1, -1 };

void onSignal(int)
{
    const char c = 1;
    // Only async-signal-safe calls here; the event loop does the rest.
    [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &c, 1);
}

} // namespace

UnixSignalQuit::UnixSignalQuit(std::function<void()> onSignal_, QObject *parent)
    : QObject(parent)
    , m_onSignal(std::move(onSignal_))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_fds) != 0)
        return;
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(g_fds[1], &c, 1);
        if (m_onSignal)
            m_onSignal();
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : { SIGTERM, SIGINT, SIGHUP })
        ::sigaction(sig, &action, nullptr);
}

UnixSignalQuit::~UnixSignalQuit()
{
    for (int sig : { SIGTERM, SIGINT, SIGHUP })
        ::signal(sig, SIG_DFL);
}
