#pragma once

#include "cli/CliCommand.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

// Runs stashly-cli in-process with its output captured.
inline int runCliCaptured(const QStringList &args, QString *out = nullptr, QString *err = nullptr)
{
    QString o, e;
    QTextStream os(&o), es(&e);
    const int status = runCli(args, os, es);
    os.flush();
    es.flush();
    if (out)
        *out = o;
    if (err)
        *err = e;
    return status;
}

// Runs stashly-cli in-process on the library package at `library`.
inline int runCliOn(const QString &library, const QStringList &args, QString *out = nullptr, QString *err = nullptr)
{
    return runCliCaptured(QStringList { QStringLiteral("--library"), library } + args, out, err);
}
