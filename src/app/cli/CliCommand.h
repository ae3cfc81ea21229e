#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <optional>

// What every command gets: the options that come before the command name and
// the streams to write to.
struct CliContext
{
    std::optional<QString> libraryPath; // --library PATH; none: the library the settings name
    bool force = false; // --force: change a library another user or machine holds
    QTextStream &out;
    QTextStream &err;
    int waitSeconds = 0; // --wait SECONDS: wait for another writer on this machine
};

// One subcommand of stashly-cli. `run` gets the words after the command name and
// returns the exit status (0 success, 1 failure, 2 bad usage or unreadable input).
struct CliCommand
{
    QString name;
    QString usage; // e.g. "settings get KEY | set KEY VALUE | list"
    QString summary; // one line for --help
    std::function<int(CliContext &, const QStringList &)> run;
};

// The command table. Each area adds its commands in CliCommands.cpp.
class CliRegistry
{
public:
    void add(CliCommand command) { m_commands.append(std::move(command)); }
    const CliCommand *find(const QString &name) const;
    const QList<CliCommand> &commands() const { return m_commands; }

private:
    QList<CliCommand> m_commands;
};

// Builds the table of every command.
CliRegistry makeCliRegistry();

// Runs stashly-cli with its arguments (without the program name).
int runCli(const QStringList &arguments, QTextStream &out, QTextStream &err);
