#pragma once

#include <QString>

class ManagedObject;
class ManagedObjectContext;

// How the program saves after a change: end editing, process pending changes,
// save. A failed save is logged with the object being changed, shown as the
// "Record Save Failure" alert on the main queue after the current operation,
// and the change stays in the context; the caller goes on.
class SaveFailureConvention
{
public:
    static const QString &alertTitle();
    // "%1": the error's description.
    static const QString &alertTextFormat();

    // Saves; returns whether it worked. `changed` may be null.
    static bool commitChanges(ManagedObjectContext &context, const ManagedObject *changed = nullptr);
    static bool commitChanges(ManagedObjectContext &context, const QString &recordData);

    // Logs "Error committing changes: <error> \n Record Data: <data>" and queues the alert.
    static void reportSaveFailure(const QString &errorDescription, const QString &recordData);
};
