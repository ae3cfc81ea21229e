#include "ExchangeCommands.h"

#include "CliLibrary.h"
#include "CliRecordList.h"

#include "exchange/CSVImportExport.h"

#include <QLocale>

namespace {

const QString kExportUsage = QStringLiteral("export-csv FILE [--category NAME | --smart-folder NAME] [--search TEXT]");

int usage(CliContext &ctx, const QString &text)
{
    ctx.err << "Usage: stashly-cli [--library PATH] " << text << '\n';
    return 2;
}

int runExportCsv(CliContext &ctx, const QStringList &args)
{
    if (args.isEmpty() || args.first().startsWith(QLatin1String("--")))
        return usage(ctx, kExportUsage);
    const QString file = args.first();
    QString category, smartFolder, search;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (i + 1 >= args.size())
            return usage(ctx, kExportUsage);
        const QString value = args.at(++i);
        if (a == QLatin1String("--category"))
            category = value;
        else if (a == QLatin1String("--smart-folder"))
            smartFolder = value;
        else if (a == QLatin1String("--search"))
            search = value;
        else
            return usage(ctx, kExportUsage);
    }
    if (!category.isEmpty() && !smartFolder.isEmpty())
        return usage(ctx, kExportUsage);

    std::unique_ptr<CliLibrary> library = CliLibrary::open(ctx, CliLibrary::Access::Read);
    if (!library)
        return 1;
    const std::optional<QList<ManagedObject *>> records
        = cliListedRecords(ctx, library->context(), category, smartFolder, search, {});
    if (!records)
        return 1;
    QString error, written;
    if (!CSVImportExport::exportRecords(file, *records, QLocale::system(), &error, &written)) {
        ctx.err << error << '\n';
        return 1;
    }
    ctx.out << written << '\n';
    return 0;
}

} // namespace

void addExchangeCommands(CliRegistry &registry)
{
    registry.add({ QStringLiteral("export-csv"), kExportUsage,
                   QStringLiteral("write the records of a row and search as a CSV file"), runExportCsv });
}
