#include "ExchangeCommands.h"

#include "CliLibrary.h"
#include "CliRecordList.h"

#include "exchange/CSVImportExport.h"
#include "exchange/CSVReader.h"

#include "core/Record.h"
#include "core/RecordNotes.h"
#include "records/RecordController.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QLocale>

namespace {

const QString kExportUsage = QStringLiteral("export-csv FILE [--category NAME | --smart-folder NAME] [--search TEXT]");

const QString kImportUsage
    = QStringLiteral("import-csv FILE [--map \"COLUMN=attribute,...\"] [--no-header] [--currency CODE] [--dry-run]");

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
    CliRecordChoice choice;
    for (int i = 1; i < args.size(); i += 2)
        if (i + 1 >= args.size() || !cliTakeRecordChoice(args.at(i), args.at(i + 1), false, &choice))
            return usage(ctx, kExportUsage);
    if (!choice.category.isEmpty() && !choice.smartFolder.isEmpty())
        return usage(ctx, kExportUsage);

    std::unique_ptr<CliLibrary> library = CliLibrary::open(ctx, CliLibrary::Access::Read);
    if (!library)
        return 1;
    const std::optional<QList<ManagedObject *>> records
        = cliListedRecords(ctx, library->context(), choice.category, choice.smartFolder, choice.search, {});
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

// The field title an attribute named in --map stands for.
QString titleForAttribute(const QString &attribute)
{
    if (attribute == QLatin1String("currency"))
        return CSVImportExport::purchaseCurrencyTitle;
    if (attribute == QLatin1String("replacementCurrency"))
        return CSVImportExport::replacementCurrencyTitle;
    for (const QString &title : CSVImportExport::columnTitles())
        if (CSVImportExport::attributeForTitle(title) == attribute)
            return title;
    return {};
}

QStringList mappableAttributes()
{
    QStringList names;
    for (const QString &title : CSVImportExport::columnTitles())
        names << CSVImportExport::attributeForTitle(title);
    return names << QStringLiteral("currency") << QStringLiteral("replacementCurrency");
}

int runImportCsv(CliContext &ctx, const QStringList &args)
{
    if (args.isEmpty() || args.first().startsWith(QLatin1String("--")))
        return usage(ctx, kImportUsage);
    const QString file = args.first();
    QString map, currency;
    bool header = true, dryRun = false;
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--no-header"))
            header = false;
        else if (a == QLatin1String("--dry-run"))
            dryRun = true;
        else if ((a == QLatin1String("--map") || a == QLatin1String("--currency")) && i + 1 < args.size())
            (a == QLatin1String("--map") ? map : currency) = args.at(++i);
        else
            return usage(ctx, kImportUsage);
    }

    const CSVReader::Result read = CSVReader::readFile(file, {});
    if (!read.ok()) {
        ctx.err << file << (read.errorLine > 0 ? QStringLiteral(":%1").arg(read.errorLine) : QString()) << ": "
                << read.error << '\n';
        return 2;
    }
    const QStringList titles = header ? read.lines.value(0) : QStringList();
    qsizetype columns = 0;
    for (const QStringList &line : read.lines)
        columns = std::max(columns, line.size());
    QStringList keys(header ? titles.size() : columns);

    // Without --map, columns titled as the export titles them take those fields.
    if (map.isEmpty()) {
        if (!header)
            return usage(ctx, kImportUsage);
        for (qsizetype j = 0; j < titles.size(); ++j)
            if (CSVImportExport::columnTitles().contains(titles.at(j)))
                keys[j] = titles.at(j);
    } else {
        for (const QString &pair : map.split(QLatin1Char(','))) {
            const qsizetype eq = pair.lastIndexOf(QLatin1Char('='));
            const QString column = pair.left(eq).trimmed();
            const QString attribute = pair.mid(eq + 1).trimmed();
            const QString title = titleForAttribute(attribute);
            // A column by its title on the first line, or by its number from 1.
            qsizetype index = header ? titles.indexOf(column) : -1;
            bool isNumber = false;
            if (index < 0 && column.toInt(&isNumber) > 0 && isNumber && column.toInt() <= keys.size())
                index = column.toInt() - 1;
            if (eq < 0 || title.isEmpty() || index < 0) {
                ctx.err << "Bad mapping \"" << pair << "\": give COLUMN=attribute, COLUMN a title of the first line "
                        << "or a column number, attribute one of " << mappableAttributes().join(QLatin1String(", "))
                        << '\n';
                return 2;
            }
            keys[index] = title;
        }
    }

    std::unique_ptr<CliLibrary> library
        = CliLibrary::open(ctx, dryRun ? CliLibrary::Access::Read : CliLibrary::Access::Change);
    if (!library)
        return 1;
    ManagedObjectContext &context = library->context();
    const QList<ManagedObject *> defaults = context.executeFetchRequest(
        { QStringLiteral("Location"),
          Predicate::fromFormat(QStringLiteral("%K == YES"), { QStringLiteral("isDefault") }),
          {},
          1 });
    const QString defaultLocation
        = defaults.isEmpty() ? QString() : defaults.first()->valueForKey(QStringLiteral("locationName")).toString();

    const int firstLine = header ? 1 : 0;
    QString error;
    const auto records = CSVImportExport::readRecords(CSVImportExport::lineDictionaries(read.lines, keys, firstLine),
                                                      read.lineNumbers.mid(firstLine), currency, defaultLocation,
                                                      QLocale::system(), QDate::currentDate(), &error);
    if (!records) {
        ctx.err << file << ": " << error << '\n';
        return 2;
    }
    if (dryRun) {
        // One line per record: its category and values, tab-separated.
        for (const CSVImportExport::ImportedRecord &r : *records) {
            QStringList fields { QStringLiteral("category=") + r.category };
            for (auto it = r.values.cbegin(); it != r.values.cend(); ++it) {
                QString value = it.key() == QLatin1String("notes") ? RecordNotes::plainText(it.value().toByteArray())
                                                                   : it.value().toString();
                value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
                value.replace(QLatin1Char('\t'), QLatin1String("\\t"));
                value.replace(QLatin1Char('\n'), QLatin1String("\\n"));
                fields << it.key() + QLatin1Char('=') + value;
            }
            for (const auto &[name, value] : r.customFields)
                fields << QStringLiteral("custom field ") + name + QLatin1Char('=') + value;
            ctx.out << fields.join(QLatin1Char('\t')) << '\n';
        }
        ctx.out << records->size() << '\n';
        return 0;
    }

    RecordController controller(&context, library->packagePath());
    const QList<Record *> made = CSVImportExport::handleMakeRecordsFromCSV(controller, *records, &error);
    if (!error.isEmpty()) {
        ctx.err << file << ": " << error << '\n';
        library->save(ctx); // takes back what the records' creation saved
        return 1;
    }
    if (!library->save(ctx))
        return 1;
    ctx.out << made.size() << '\n';
    return 0;
}

} // namespace

void addExchangeCommands(CliRegistry &registry)
{
    registry.add({ QStringLiteral("export-csv"), kExportUsage,
                   QStringLiteral("write the records of a row and search as a CSV file"), runExportCsv });
    registry.add({ QStringLiteral("import-csv"), kImportUsage, QStringLiteral("make one record per line of a CSV file"),
                   runImportCsv });
}
