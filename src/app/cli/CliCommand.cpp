#include "CliCommand.h"

#include "base/ScriptedAlertPresenter.h"
#include "base/Settings.h"
#include "base/TBXRunAlertPanel.h"

#include <QCoreApplication>

const CliCommand *CliRegistry::find(const QString &name) const
{
    for (const CliCommand &c : m_commands)
        if (c.name == name)
            return &c;
    return nullptr;
}

namespace {

void printHelp(const CliRegistry &registry, QTextStream &out)
{
    out << "Usage: stashly-cli [--library PATH] [--force] [--wait SECONDS] [--settings FILE] COMMAND [ARGS...]\n\n"
        << "Stashly's main jobs, headless.\n\n"
        << "Options:\n"
        << "  --library PATH   work on the library package at PATH instead of the default one\n"
        << "  --force          change a library whose lock names another user or machine\n"
        << "  --wait SECONDS   wait that long for another program on this machine to finish\n"
        << "                   changing the library, instead of refusing at once\n"
        << "  --settings FILE  read and write settings in FILE instead of the user's settings\n"
        << "  --help           show this text\n"
        << "  --version        show the version\n\n"
        << "Commands:\n";
    for (const CliCommand &c : registry.commands())
        out << "  " << c.usage.leftJustified(44) << ' ' << c.summary << '\n';
}

} // namespace

int runCli(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    const CliRegistry registry = makeCliRegistry();
    CliContext context { std::nullopt, false, out, err };

    // Alerts raised by the shared controllers are written to standard error and
    // answered with their default button.
    ScriptedAlertPresenter alerts;
    alerts.setEcho(true);
    AlertPresenter *previous = TBXRunAlertPanel::presenter();
    TBXRunAlertPanel::setPresenter(&alerts);
    struct Restore
    {
        AlertPresenter *p;
        ~Restore() { TBXRunAlertPanel::setPresenter(p); }
    } restore { previous };

    int i = 0;
    for (; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            printHelp(registry, out);
            return 0;
        }
        if (a == QLatin1String("--version")) {
            out << "stashly-cli " << QCoreApplication::applicationVersion() << '\n';
            return 0;
        }
        if (a == QLatin1String("--force")) {
            context.force = true;
        } else if (a == QLatin1String("--library") || a == QLatin1String("--settings")
                   || a == QLatin1String("--wait")) {
            if (i + 1 >= arguments.size()) {
                err << a << (a == QLatin1String("--wait") ? " needs a number of seconds\n" : " needs a path\n");
                return 2;
            }
            const QString value = arguments.at(++i);
            if (a == QLatin1String("--library")) {
                context.libraryPath = value;
            } else if (a == QLatin1String("--wait")) {
                bool ok = false;
                context.waitSeconds = value.toInt(&ok);
                if (!ok || context.waitSeconds < 0 || context.waitSeconds > 24 * 3600) {
                    err << "--wait takes a number of seconds from 0 to 86400, not \"" << value << "\"\n";
                    return 2;
                }
            } else {
                QString why;
                if (!Settings::isUsableFile(value, &why)) {
                    err << why << '\n';
                    return 2;
                }
                Settings::setFilePath(value);
            }
        } else if (a.startsWith(QLatin1String("--"))) {
            err << "Unknown option " << a << "; see stashly-cli --help\n";
            return 2;
        } else {
            break;
        }
    }
    if (i >= arguments.size()) {
        printHelp(registry, err);
        return 2;
    }
    const QString name = arguments.at(i);
    const CliCommand *command = registry.find(name);
    if (!command) {
        err << "Unknown command \"" << name << "\"; see stashly-cli --help\n";
        return 2;
    }
    Settings::clearWriteError();
    int status = command->run(context, arguments.mid(i + 1));
    // A setting that did not reach its file is a failure, whatever else worked.
    if (const QString failed = Settings::writeError(); !failed.isEmpty()) {
        err << failed << '\n';
        if (status == 0)
            status = 1;
    }
    return status;
}
