#include "CliCommand.h"

#include "core/ScriptedAlertPresenter.h"
#include "core/Settings.h"
#include "core/TBXRunAlertPanel.h"

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
    out << "Usage: stashly-cli [--library PATH] [--force] [--settings FILE] COMMAND [ARGS...]\n\n"
        << "Stashly's main jobs, headless.\n\n"
        << "Options:\n"
        << "  --library PATH   work on the library package at PATH instead of the default one\n"
        << "  --force          change a library that another running Stashly holds\n"
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
    CliContext context{QString(), false, out, err};

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
    } restore{previous};

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
        } else if (a == QLatin1String("--library") || a == QLatin1String("--settings")) {
            if (i + 1 >= arguments.size()) {
                err << a << " needs a path\n";
                return 2;
            }
            const QString value = arguments.at(++i);
            if (a == QLatin1String("--library"))
                context.libraryPath = value;
            else
                Settings::setFilePath(value);
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
    return command->run(context, arguments.mid(i + 1));
}
