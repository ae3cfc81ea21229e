#pragma once

#include "CliCommand.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class ManagedObject;
class ManagedObjectContext;

// The objects of `entity` whose `key` equals `name`.
QList<ManagedObject *> cliObjectsNamed(ManagedObjectContext &context, const QString &entity, const QString &key,
                                       const QString &name);
// The `key` values of every object of `entity`, sorted without regard to case.
QStringList cliNamesOf(ManagedObjectContext &context, const QString &entity, const QString &key);

// Which records a command works on, as the window chooses them: a row, a search
// text and locations.
struct CliRecordChoice
{
    QString category;
    QString smartFolder;
    QString search;
    QStringList locations;
};

// Takes `option` with its `value` into the choice when it is one of
// --category, --smart-folder, --search or (when `withLocations`) --location.
bool cliTakeRecordChoice(const QString &option, const QString &value, bool withLocations, CliRecordChoice *choice);

// The records the list view shows for a row (a category, a smart folder, or All
// Records when both are empty), a search text and a location choice, in the
// list's order. None, after one line on ctx.err naming the choices, when the
// category, smart folder or a location does not exist.
std::optional<QList<ManagedObject *>> cliListedRecords(CliContext &ctx, ManagedObjectContext &context,
                                                       const QString &category, const QString &smartFolder,
                                                       const QString &search, const QStringList &locations);
