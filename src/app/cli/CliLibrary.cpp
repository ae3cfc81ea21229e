#include "CliLibrary.h"

#include "core/DatabaseTools.h"
#include "core/PreferenceController.h"
#include "core/TBXFirstRunSetup.h"
#include "core/store/ManagedObjectContext.h"

QString CliLibrary::describeLock(const QVariantMap &lock)
{
    QString text = QStringLiteral("%1 on %2").arg(lock.value(DatabaseTools::userNameKey).toString(),
                                                  lock.value(DatabaseTools::machineNameKey).toString());
    if (lock.contains(DatabaseTools::processIDKey))
        text += QStringLiteral(" (process %1)").arg(lock.value(DatabaseTools::processIDKey).toLongLong());
    return text;
}

QString CliLibrary::resolvePackagePath(const CliContext &ctx)
{
    Stashly2_AppDelegate probe;
    if (!ctx.libraryPath.isEmpty())
        probe.setLibraryPathOverride(ctx.libraryPath);
    return probe.userDBDirectory();
}

std::unique_ptr<CliLibrary> CliLibrary::open(CliContext &ctx, Access access)
{
    std::unique_ptr<CliLibrary> library(new CliLibrary);
    if (!ctx.libraryPath.isEmpty())
        library->m_delegate.setLibraryPathOverride(ctx.libraryPath);
    library->m_package = library->m_delegate.userDBDirectory();

    bool heldByOther = false;
    if (access == Access::Change && DatabaseTools::isDatabaseLockedAtPath(library->m_package)) {
        const std::optional<QVariantMap> lock = DatabaseTools::lockDataAtPath(library->m_package);
        // A lock we cannot read may be anyone's: treat it as held.
        heldByOther = !lock || DatabaseTools::isHeldByLiveProcess(*lock);
        if (heldByOther && !ctx.force) {
            ctx.err << "The library " << library->m_package << " is in use by "
                    << (lock ? describeLock(*lock) : QStringLiteral("an unknown holder (unreadable lock file)"))
                    << ". Quit Stashly there first, or pass --force to change it anyway.\n";
            return nullptr;
        }
    }

    library->m_context = library->m_delegate.managedObjectContext();
    if (!library->m_context) {
        ctx.err << "The library " << library->m_package << " cannot be opened: " << library->m_delegate.storeError()
                << '\n';
        return nullptr;
    }
    if (access == Access::Change && !heldByOther) {
        DatabaseTools::lockDatabaseAtPath(library->m_package);
        library->m_ownLock = true;
    }
    // Nothing marks a library as set up later, so one made here gets its
    // defaults now, as the program gives them on its first launch.
    if (library->m_delegate.isFirstRun()) {
        TBXFirstRunSetup setup(library->m_context);
        if (!setup.setUpDefaults())
            ctx.err << "Some defaults of the new library " << library->m_package << " could not be saved.\n";
        // The date and number formats follow the locale, as on a first launch.
        PreferenceController preferences;
        preferences.handleFirstRunDefaultsSetup();
    }
    return library;
}

CliLibrary::~CliLibrary()
{
    if (m_ownLock)
        DatabaseTools::unlockDatabaseAtPath(m_package);
}

bool CliLibrary::save(CliContext &ctx)
{
    QString error;
    if (m_context->save(&error))
        return true;
    ctx.err << "The changes could not be saved: " << error << '\n';
    return false;
}
