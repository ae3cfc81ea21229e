#include "core/SaveFailureConvention.h"

#include "base/Log.h"
#include "base/MainQueue.h"
#include "base/TBXRunAlertPanel.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

const QString &SaveFailureConvention::alertTitle()
{
    static const QString title = QStringLiteral("Record Save Failure");
    return title;
}

const QString &SaveFailureConvention::alertTextFormat()
{
    static const QString text = QStringLiteral(
        "An error saving the database has been detected. Your last change was not saved because it may be invalid. "
        "It is recommended you quit and restart Stashly. If you continue to receive this error, please contact "
        "support. Error: %1");
    return text;
}

bool SaveFailureConvention::commitChanges(ManagedObjectContext &context, const ManagedObject *changed)
{
    return commitChanges(context, changed ? changed->description() : QStringLiteral("(null)"));
}

bool SaveFailureConvention::commitChanges(ManagedObjectContext &context, const QString &recordData)
{
    QString error;
    if (context.save(&error))
        return true;
    reportSaveFailure(error, recordData);
    return false;
}

void SaveFailureConvention::reportSaveFailure(const QString &errorDescription, const QString &recordData)
{
    Log::always(QStringLiteral("Error committing changes: %1 \n Record Data: %2").arg(errorDescription, recordData));
    const QString text = alertTextFormat().arg(errorDescription);
    MainQueue::async([text] { TBXRunAlertPanel::runWarning(alertTitle(), text, QStringLiteral("OK")); });
}
