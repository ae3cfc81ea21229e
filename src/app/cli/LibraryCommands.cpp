#include "LibraryCommands.h"

#include "CliLibrary.h"
#include "core/DatabaseTools.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectContext.h"

namespace {

int runInfo(CliContext &ctx, const QStringList &args)
{
    if (!args.isEmpty()) {
        ctx.err << "Usage: stashly-cli [--library PATH] info\n";
        return 2;
    }
    // Read the lock before opening: opening never writes one for reading.
    const QString package = CliLibrary::resolvePackagePath(ctx);
    const bool locked = DatabaseTools::isDatabaseLockedAtPath(package);
    const std::optional<QVariantMap> lock = DatabaseTools::lockDataAtPath(package);

    auto library = CliLibrary::open(ctx, CliLibrary::Access::Read);
    if (!library)
        return 1;
    ctx.out << "Library: " << library->packagePath() << '\n';
    if (!locked) {
        ctx.out << "Locked: no\n";
    } else if (!lock) {
        ctx.out << "Locked: yes (unreadable lock file)\n";
    } else {
        ctx.out << "Locked: yes, by " << DatabaseTools::describeLock(*lock)
                << (DatabaseTools::isHeldByLiveProcess(*lock) ? ", in use" : ", left over (not running)") << '\n';
    }
    ManagedObjectContext &context = library->context();
    for (const QString &entity : context.model().entityNames()) {
        FetchRequest request;
        request.entityName = entity;
        ctx.out << entity << ": " << context.countForFetchRequest(request) << '\n';
    }
    return 0;
}

} // namespace

void addLibraryCommands(CliRegistry &registry)
{
    registry.add({ QStringLiteral("info"), QStringLiteral("info"),
                   QStringLiteral("the library's path, its lock and how many objects of each kind it holds"),
                   runInfo });
}
