#include "CliLibrary.h"

#include "core/DatabaseTools.h"
#include "core/PreferenceController.h"
#include "core/TBXFirstRunSetup.h"
#include "store/ManagedObjectContext.h"

QString CliLibrary::resolvePackagePath(const CliContext &ctx)
{
    Stashly2_AppDelegate probe;
    if (ctx.libraryPath)
        probe.setLibraryPathOverride(*ctx.libraryPath);
    return probe.packagePathForReading();
}

std::unique_ptr<CliLibrary> CliLibrary::open(CliContext &ctx, Access access)
{
    std::unique_ptr<CliLibrary> library(new CliLibrary);
    if (ctx.libraryPath) {
        if (ctx.libraryPath->trimmed().isEmpty()) {
            ctx.err << "No library was given: --library needs a path.\n";
            return nullptr;
        }
        library->m_delegate.setLibraryPathOverride(*ctx.libraryPath);
    }
    const bool change = access == Access::Change;
    // Holding the writer lock, no other writer on this machine has the library.
    // The lock file may still name someone on another machine, a program that
    // takes no writer lock, or a holder we cannot identify: refused before a
    // byte is written, unless forced.
    bool forced = false;
    const auto admit = [&ctx, &forced](const QString &package) {
        if (!DatabaseTools::isDatabaseLockedAtPath(package))
            return true;
        const std::optional<QVariantMap> lock = DatabaseTools::lockDataAtPath(package);
        if (lock && !DatabaseTools::isHeldByLiveProcess(*lock))
            return true; // left over
        forced = true;
        return ctx.force;
    };
    const bool opened = library->m_delegate.openLibrary(
        change ? Library::Access::Change : Library::Access::Read, ctx.waitSeconds * 1000,
        change ? std::function<bool(const QString &, QString *)>([&](const QString &package, QString *why) {
            if (admit(package))
                return true;
            *why = QStringLiteral("The library %1 is in use by %2. Quit Stashly there first, or pass --force to "
                                  "change it anyway.")
                       .arg(package, DatabaseTools::describeHolder(package));
            return false;
        })
               : std::function<bool(const QString &, QString *)>());
    if (!opened) {
        ctx.err << library->m_delegate.storeError() << '\n';
        return nullptr;
    }
    library->m_package = library->m_delegate.library()->packagePath();
    library->m_context = library->m_delegate.managedObjectContext();
    if (!change)
        return library;
    // Forced past another holder: their lock stays for them to find.
    if (!forced) {
        QString error;
        if (!DatabaseTools::lockDatabaseAtPath(library->m_package, &error)) {
            ctx.err << error << '\n';
            return nullptr;
        }
        library->m_ownLock = true;
    }
    library->finishOpening(ctx);
    return library;
}

void CliLibrary::finishOpening(CliContext &ctx)
{
    // A new library, or one whose first run was cut short, gets the defaults
    // the program gives on its first launch.
    if (!m_delegate.isFirstRun())
        return;
    TBXFirstRunSetup setup(m_context);
    if (!setup.setUpDefaults())
        ctx.err << "The defaults of the new library " << m_package << " could not be saved.\n";
    // The date and number formats follow the locale, as on a first launch.
    PreferenceController preferences;
    preferences.handleFirstRunDefaultsSetup();
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
