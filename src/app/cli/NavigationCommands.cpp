#include "NavigationCommands.h"

#include "CliLibrary.h"
#include "CliRecordList.h"
#include "exchange/CSVWriter.h"

#include "core/EntityNameChecker.h"
#include "core/Record.h"
#include "navigation/ListViewController.h"
#include "navigation/RecordFilterCombination.h"
#include "navigation/SmartFolder.h"
#include "navigation/SourceListItem.h"
#include "navigation/VisibleAssetController.h"
#include "predicate/SearchPredicate.h"
#include "records/RecordJson.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QJsonDocument>

namespace {

const QString kListUsage = QStringLiteral(
    "list [--category NAME | --smart-folder NAME] [--search TEXT] [--location NAME ...] [--format tsv|json|csv]");
const QString kSmartFolderUsage = QStringLiteral("smart-folder list | add NAME \"FORMAT\" | remove NAME");

const QStringList kColumns
    = { QStringLiteral("recordID"),     QStringLiteral("item"),          QStringLiteral("manufacturer"),
        QStringLiteral("model"),        QStringLiteral("category"),      QStringLiteral("location"),
        QStringLiteral("purchaseDate"), QStringLiteral("warrantyLevel"), QStringLiteral("expirationDate") };

int usage(CliContext &ctx, const QString &text)
{
    ctx.err << "Usage: stashly-cli [--library PATH] " << text << '\n';
    return 2;
}

// A cell of the tsv and csv forms: the value as the JSON form writes it.
QString cellText(const Record &record, const QString &key)
{
    if (key == QLatin1String("recordID"))
        return record.recordIDText();
    const int a = record.entity().attributeIndex(key);
    const QJsonValue v
        = RecordJson::valueToJson(record.ManagedObject::valueForKey(key), record.entity().attributes().at(a).type);
    if (v.isDouble())
        return QString::number(v.toDouble(), 'g', 15);
    return v.isString() ? v.toString() : QString();
}

QString tsvCell(QString text)
{
    // One record per line, one field per tab: those characters are written escaped.
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return text;
}

int runList(CliContext &ctx, const QStringList &args)
{
    CliRecordChoice choice;
    QString format = QStringLiteral("tsv");
    for (int i = 0; i < args.size(); i += 2) {
        if (i + 1 >= args.size())
            return usage(ctx, kListUsage);
        if (args.at(i) == QLatin1String("--format"))
            format = args.at(i + 1);
        else if (!cliTakeRecordChoice(args.at(i), args.at(i + 1), true, &choice))
            return usage(ctx, kListUsage);
    }
    if ((!choice.category.isEmpty() && !choice.smartFolder.isEmpty())
        || !QStringList { QStringLiteral("tsv"), QStringLiteral("json"), QStringLiteral("csv") }.contains(format))
        return usage(ctx, kListUsage);

    std::unique_ptr<CliLibrary> library = CliLibrary::open(ctx, CliLibrary::Access::Read);
    if (!library)
        return 1;
    const std::optional<QList<ManagedObject *>> listed = cliListedRecords(
        ctx, library->context(), choice.category, choice.smartFolder, choice.search, choice.locations);
    if (!listed)
        return 1;
    const QList<ManagedObject *> &records = *listed;

    if (format != QLatin1String("json"))
        ctx.out << (format == QLatin1String("csv") ? kColumns.join(QLatin1Char(',')) : kColumns.join(QLatin1Char('\t')))
                << '\n';
    for (ManagedObject *object : records) {
        const Record *record = Record::from(object);
        if (!record)
            continue;
        if (format == QLatin1String("json")) {
            ctx.out << QString::fromUtf8(QJsonDocument(RecordJson::toJson(*record)).toJson(QJsonDocument::Compact))
                    << '\n';
            continue;
        }
        QStringList cells;
        for (const QString &key : kColumns)
            cells.append(format == QLatin1String("csv") ? CSVWriter::field(cellText(*record, key))
                                                        : tsvCell(cellText(*record, key)));
        ctx.out << cells.join(format == QLatin1String("csv") ? QLatin1Char(',') : QLatin1Char('\t')) << '\n';
    }
    return 0;
}

int runSmartFolder(CliContext &ctx, const QStringList &args)
{
    const QString action = args.value(0);
    if (action == QLatin1String("list") && args.size() == 1) {
        std::unique_ptr<CliLibrary> library = CliLibrary::open(ctx, CliLibrary::Access::Read);
        if (!library)
            return 1;
        VisibleAssetController &assets = VisibleAssetController::sharedManager();
        assets.setManagedObjectContext(&library->context());
        const QList<ManagedObject *> records = assets.allRecords();
        ctx.out << "name\trecords\trules\n";
        for (const ManagedObject *folder :
             library->context().executeFetchRequest({ SmartFolder::entityName, Predicate(), {}, 0 })) {
            const std::optional<Predicate> rules = SmartFolder::predicate(folder);
            ctx.out << tsvCell(SmartFolder::name(folder)) << '\t' << assets.recordCountOfSmartFolder(folder, records)
                    << '\t' << tsvCell(rules ? rules->description() : QStringLiteral("(unreadable)")) << '\n';
        }
        assets.setManagedObjectContext(nullptr);
        return 0;
    }
    if (action == QLatin1String("add") && args.size() == 3) {
        const QString nameProblem = SmartFolder::nameProblem(args.at(1));
        if (!nameProblem.isEmpty()) {
            ctx.err << nameProblem << '\n';
            return 2;
        }
        QString error;
        const std::optional<Predicate> rules = Predicate::tryFromFormat(args.at(2), {}, &error);
        if (rules)
            error = rules->isEmpty() ? QStringLiteral("no rules") : SmartFolder::rulesProblem(*rules);
        if (!rules || !error.isEmpty()) {
            ctx.err << "Bad rules \"" << args.at(2) << "\": " << error << '\n';
            return 2;
        }
        std::unique_ptr<CliLibrary> library = CliLibrary::open(ctx, CliLibrary::Access::Change);
        if (!library)
            return 1;
        ArrayController folders(&library->context(), SmartFolder::entityName);
        // Named like a folder added in the window: made unique among the folders.
        const QString name = EntityNameChecker::checkName(args.at(1), folders, SmartFolder::smartFolderNameKey);
        ManagedObject *folder = library->context().insertNewObject(SmartFolder::entityName);
        folder->setValue(SmartFolder::smartFolderNameKey, name);
        SmartFolder::setPredicate(folder, SmartFolder::withOrAtTop(*rules));
        if (!library->save(ctx))
            return 1;
        ctx.out << name << '\n';
        return 0;
    }
    if (action == QLatin1String("remove") && args.size() == 2) {
        std::unique_ptr<CliLibrary> library = CliLibrary::open(ctx, CliLibrary::Access::Change);
        if (!library)
            return 1;
        const QList<ManagedObject *> found
            = cliObjectsNamed(library->context(), SmartFolder::entityName, SmartFolder::smartFolderNameKey, args.at(1));
        if (found.isEmpty()) {
            ctx.err << "No smart folder named \"" << args.at(1) << "\"\n";
            return 1;
        }
        if (library->context().countForFetchRequest({ SmartFolder::entityName, Predicate(), {}, 0 }) <= 1) {
            ctx.err << "You must have at least one Smart Folder\n";
            return 1;
        }
        library->context().deleteObject(found.first());
        return library->save(ctx) ? 0 : 1;
    }
    return usage(ctx, kSmartFolderUsage);
}

} // namespace

void addNavigationCommands(CliRegistry &registry)
{
    registry.add({ QStringLiteral("list"), kListUsage,
                   QStringLiteral("print the records a row, a search and locations show, as the list orders them"),
                   runList });
    registry.add({ QStringLiteral("smart-folder"), kSmartFolderUsage,
                   QStringLiteral("list, add or remove smart folders"), runSmartFolder });
}
