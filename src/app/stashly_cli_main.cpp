#include "base/Log.h"
#include "cli/CliCommand.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Stashly2"));
    QCoreApplication::setApplicationVersion(QStringLiteral(STASHLY_VERSION));
    Log::writeToLogFile();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = runCli(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
