// relaunch PROGRAM PID
// Waits until the process PID has ended, then starts PROGRAM again. Used when
// the library moves: the running program quits and comes back on the new one.

#include <QCoreApplication>
#include <QProcess>
#include <QTextStream>
#include <QThread>

#include <cerrno>
#include <signal.h>

namespace {

bool processAlive(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream err(stderr);
    bool ok = false;
    const qint64 pid = args.value(1).toLongLong(&ok);
    if (!ok || pid <= 0 || args.size() != 2) {
        err << "Usage: relaunch PROGRAM PID\n";
        return 2;
    }
    // Poll rather than wait(): the program is not our child.
    while (processAlive(pid))
        QThread::msleep(100);
    if (!QProcess::startDetached(args.at(0), {})) {
        err << "relaunch: could not start " << args.at(0) << '\n';
        return 1;
    }
    return 0;
}
