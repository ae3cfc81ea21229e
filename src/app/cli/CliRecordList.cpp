#include "CliRecordList.h"

#include "navigation/ListViewController.h"
#include "navigation/RecordFilterCombination.h"
#include "navigation/SmartFolder.h"
#include "navigation/SourceListItem.h"
#include "navigation/VisibleAssetController.h"
#include "predicate/SearchPredicate.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

QList<ManagedObject *> cliObjectsNamed(ManagedObjectContext &context, const QString &entity, const QString &key,
                                       const QString &name)
{
    return context.executeFetchRequest(
        { entity, Predicate::fromFormat(QStringLiteral("%K == %@"), { key, name }), {}, 0 });
}

QStringList cliNamesOf(ManagedObjectContext &context, const QString &entity, const QString &key)
{
    QStringList names;
    for (const ManagedObject *o : context.executeFetchRequest({ entity, Predicate(), {}, 0 }))
        names.append(o->valueForKey(key).toString());
    names.sort(Qt::CaseInsensitive);
    return names;
}

std::optional<QList<ManagedObject *>> cliListedRecords(CliContext &ctx, ManagedObjectContext &context,
                                                       const QString &category, const QString &smartFolder,
                                                       const QString &search, const QStringList &locations)
{
    // Only rows and locations the window could show can be chosen.
    QString rowType = SourceListItem::rowTypeAll;
    QString rowName = SourceListItem::allRecordsTitle;
    if (!category.isEmpty()) {
        if (cliObjectsNamed(context, QStringLiteral("Category"), QStringLiteral("categoryName"), category).isEmpty()) {
            ctx.err << "No category named \"" << category << "\". The categories are: "
                    << cliNamesOf(context, QStringLiteral("Category"), QStringLiteral("categoryName"))
                           .join(QLatin1String(", "))
                    << '\n';
            return std::nullopt;
        }
        rowType = SourceListItem::rowTypeCategory;
        rowName = category;
    } else if (!smartFolder.isEmpty()) {
        if (cliObjectsNamed(context, SmartFolder::entityName, SmartFolder::smartFolderNameKey, smartFolder).isEmpty()) {
            ctx.err << "No smart folder named \"" << smartFolder << "\". The smart folders are: "
                    << cliNamesOf(context, SmartFolder::entityName, SmartFolder::smartFolderNameKey)
                           .join(QLatin1String(", "))
                    << '\n';
            return std::nullopt;
        }
        rowType = SourceListItem::rowTypeSmart;
        rowName = smartFolder;
    }
    const QStringList known = cliNamesOf(context, QStringLiteral("Location"), QStringLiteral("locationName"));
    for (const QString &l : locations) {
        if (!known.contains(l)) {
            ctx.err << "No location named \"" << l << "\". The locations are: " << known.join(QLatin1String(", "))
                    << '\n';
            return std::nullopt;
        }
    }

    // The filters the location bar and the search field make, combined as the views combine them.
    const Predicate locationFilter
        = locations.isEmpty() ? Predicate() : Predicate::fromFormat(QStringLiteral("location IN %@"), { locations });
    const Predicate searchFilter = !search.isEmpty() ? SearchPredicate::forSearchText(search) : Predicate();
    const QList<ManagedObject *> folders = context.executeFetchRequest({ SmartFolder::entityName, Predicate(), {}, 0 });
    const Predicate filter
        = RecordFilterCombination::combinedFilter(locationFilter, searchFilter, rowType, rowName, folders)
              .value_or(Predicate::falsePredicate());

    VisibleAssetController &assets = VisibleAssetController::sharedManager();
    assets.setManagedObjectContext(&context);
    assets.recordArrayController().setSortDescriptors(ListViewController::defaultSortDescriptors());
    assets.reloadRecordList(filter);
    const QList<ManagedObject *> records = assets.recordArrayController().arrangedObjects();
    assets.setManagedObjectContext(nullptr);
    return records;
}

bool cliTakeRecordChoice(const QString &option, const QString &value, bool withLocations, CliRecordChoice *choice)
{
    if (option == QLatin1String("--category"))
        choice->category = value;
    else if (option == QLatin1String("--smart-folder"))
        choice->smartFolder = value;
    else if (option == QLatin1String("--search"))
        choice->search = value;
    else if (withLocations && option == QLatin1String("--location"))
        choice->locations.append(value);
    else
        return false;
    return true;
}
