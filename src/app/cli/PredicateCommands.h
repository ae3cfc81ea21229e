#pragma once

#include "CliCommand.h"

#include <QVariant>

// stashly-cli predicate [--data] FORMAT [ARG ...]
void addPredicateCommands(CliRegistry &registry);

// One ARG of a format as a value: a text as written, or a typed form such as
// int:42, num:2.5, bool:YES, nil:, date:2014-05-02T04:00:00Z, list:Home,Work.
// `error` is set when a typed form does not read.
QVariant predicateArgumentValue(const QString &arg, QString *error);
