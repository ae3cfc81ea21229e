#include "RecordCommands.h"

#include "CliLibrary.h"
#include "core/AttributeLimits.h"
#include "core/Record.h"
#include "core/RecordNotes.h"
#include "records/RecordController.h"
#include "records/RecordJson.h"
#include "records/RecordPackageFiles.h"
#include "store/FetchRequest.h"
#include "store/ManagedObjectContext.h"
#include "store/Stashly2_DataModel.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLocale>

#include <cmath>
#include <optional>

namespace {

const QString kAddUsage = QStringLiteral("add [--category NAME] [KEY=VALUE ...]");
const QString kSetUsage = QStringLiteral("set RECORD_ID KEY=VALUE ...");
const QString kShowUsage = QStringLiteral("show RECORD_ID");

struct Assignment
{
    QString key;
    QVariant value;
};

const EntityDescription &recordEntity()
{
    return *Stashly2_DataModel::model().entity(Record::Entity);
}

// A value typed on the command line, read by the attribute's type. The empty
// text clears the attribute.
std::optional<QVariant> parseValue(const AttributeDescription &attribute, const QString &text, QString *error)
{
    using Type = AttributeDescription::Type;
    if (text.isEmpty())
        return QVariant();
    const QString t = text.trimmed();
    bool ok = false;
    switch (attribute.type) {
    case Type::Text:
        return QVariant(text);
    case Type::Integer: {
        const qlonglong n = t.toLongLong(&ok);
        if (ok)
            return QVariant(n);
        *error = QStringLiteral("%1 takes a whole number, not \"%2\"").arg(attribute.name, text);
        return std::nullopt;
    }
    case Type::Number: {
        const double d = QLocale::c().toDouble(t, &ok);
        if (ok && std::isfinite(d))
            return QVariant(d);
        *error = QStringLiteral("%1 takes a number such as 12.5, not \"%2\"").arg(attribute.name, text);
        return std::nullopt;
    }
    case Type::Boolean:
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return QVariant(true);
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return QVariant(false);
        *error = QStringLiteral("%1 takes true or false, not \"%2\"").arg(attribute.name, text);
        return std::nullopt;
    case Type::Date: {
        // ISO 8601; without a time zone the time is local, as the user reads it.
        QDateTime date = QDateTime::fromString(t, Qt::ISODateWithMs);
        if (!date.isValid() && t.size() == 10)
            date = QDate::fromString(t, Qt::ISODate).startOfDay();
        if (date.isValid())
            return QVariant(date.toUTC());
        *error = QStringLiteral("%1 takes a date in ISO 8601 such as 2024-01-15 or 2024-01-15T10:30:00, not \"%2\"")
                     .arg(attribute.name, text);
        return std::nullopt;
    }
    case Type::Bytes:
        return QVariant(RecordNotes::fromPlainText(text));
    }
    return std::nullopt;
}

// KEY=VALUE words, all checked before anything is changed.
std::optional<QList<Assignment>> parseAssignments(CliContext &ctx, const QStringList &words)
{
    QList<Assignment> assignments;
    const EntityDescription &entity = recordEntity();
    for (const QString &word : words) {
        const qsizetype eq = word.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            ctx.err << "Expected KEY=VALUE, not \"" << word << "\"\n";
            return std::nullopt;
        }
        const QString key = word.left(eq);
        const int index = entity.attributeIndex(key);
        if (index < 0) {
            QStringList names;
            for (const AttributeDescription &a : entity.attributes())
                names << a.name;
            ctx.err << "A record has no attribute \"" << key << "\"; its attributes are "
                    << names.join(QStringLiteral(", ")) << '\n';
            return std::nullopt;
        }
        if (key == QLatin1String("recordID")) {
            ctx.err << "recordID names the record's folder and thumbnail and cannot be set\n";
            return std::nullopt;
        }
        QString error;
        const std::optional<QVariant> value = parseValue(entity.attributes().at(index), word.mid(eq + 1), &error);
        if (!value) {
            ctx.err << error << '\n';
            return std::nullopt;
        }
        const QString problem = AttributeLimits::check(Record::Entity, key, *value);
        if (!problem.isEmpty()) {
            ctx.err << problem << '\n';
            return std::nullopt;
        }
        assignments.append({ key, *value });
    }
    return assignments;
}

bool apply(CliContext &ctx, Record *record, const QList<Assignment> &assignments)
{
    for (const Assignment &a : assignments) {
        if (!record->setValue(a.key, a.value)) {
            ctx.err << "The value of " << a.key << " could not be stored\n";
            return false;
        }
    }
    return true;
}

// The record whose recordID text is `id` (or whose number is the number `id` reads as).
Record *findRecord(CliContext &ctx, ManagedObjectContext &context, const QString &id)
{
    bool ok = false;
    const double number = id.toDouble(&ok);
    const QString text = ok ? Record::recordIDText(number) : id;
    for (ManagedObject *object : context.executeFetchRequest({ Record::Entity, {}, {}, 0 })) {
        Record *record = Record::from(object);
        if (record && record->valueForKey(QStringLiteral("recordID")).isValid() && record->recordIDText() == text)
            return record;
    }
    ctx.err << "There is no record " << id << '\n';
    return nullptr;
}

int runAdd(CliContext &ctx, const QStringList &args)
{
    QString category;
    QStringList words = args;
    if (!words.isEmpty() && words.first() == QLatin1String("--category")) {
        if (words.size() < 2 || words.at(1).isEmpty()) {
            ctx.err << "Usage: stashly-cli [--library PATH] " << kAddUsage << '\n';
            return 2;
        }
        category = words.at(1);
        words = words.mid(2);
    }
    const std::optional<QList<Assignment>> assignments = parseAssignments(ctx, words);
    if (!assignments)
        return 2;
    auto library = CliLibrary::open(ctx, CliLibrary::Access::Change);
    if (!library)
        return 1;
    ManagedObjectContext &context = library->context();
    if (!category.isEmpty() && category != RecordController::unfiledCategoryName) {
        const QList<ManagedObject *> found = context.executeFetchRequest(
            { QStringLiteral("Category"),
              Predicate::fromFormat(QStringLiteral("%K == %@"), { QStringLiteral("categoryName"), category }),
              {},
              1 });
        if (found.isEmpty()) {
            QStringList names;
            for (ManagedObject *c : context.executeFetchRequest({ QStringLiteral("Category"), {}, {}, 0 }))
                names << c->valueForKey(QStringLiteral("categoryName")).toString();
            ctx.err << "There is no category \"" << category << "\"; the categories are "
                    << names.join(QStringLiteral(", ")) << '\n';
            return 2;
        }
    }
    RecordController controller(&context, library->packagePath());
    controller.setSelectedCategoryName(category);
    Record *record = controller.addNewRecordMenuButton();
    if (!record) {
        ctx.err << "The record could not be made: its folder or thumbnail could not be written in "
                << library->packagePath() << " (see the log)\n";
        return 1;
    }
    if (!apply(ctx, record, *assignments) || !library->save(ctx)) {
        // The record ends with this process unless it reached the store:
        // its folder and thumbnail must not stay behind without it.
        if (record->isInserted()) {
            QDir().rmdir(RecordPackageFiles::filesFolder(library->packagePath(), record->recordIDText()));
            QFile::remove(RecordPackageFiles::thumbnailPath(library->packagePath(), record->recordIDText()));
        }
        return 1;
    }
    ctx.out << record->recordIDText() << '\n';
    return 0;
}

int runSet(CliContext &ctx, const QStringList &args)
{
    if (args.size() < 2) {
        ctx.err << "Usage: stashly-cli [--library PATH] " << kSetUsage << '\n';
        return 2;
    }
    const std::optional<QList<Assignment>> assignments = parseAssignments(ctx, args.mid(1));
    if (!assignments)
        return 2;
    auto library = CliLibrary::open(ctx, CliLibrary::Access::Change);
    if (!library)
        return 1;
    Record *record = findRecord(ctx, library->context(), args.first());
    if (!record)
        return 1;
    if (!apply(ctx, record, *assignments) || !library->save(ctx))
        return 1;
    return 0;
}

int runShow(CliContext &ctx, const QStringList &args)
{
    if (args.size() != 1) {
        ctx.err << "Usage: stashly-cli [--library PATH] " << kShowUsage << '\n';
        return 2;
    }
    auto library = CliLibrary::open(ctx, CliLibrary::Access::Read);
    if (!library)
        return 1;
    const Record *record = findRecord(ctx, library->context(), args.first());
    if (!record)
        return 1;
    ctx.out << QString::fromUtf8(QJsonDocument(RecordJson::toJson(*record)).toJson(QJsonDocument::Indented));
    return 0;
}

} // namespace

void addRecordCommands(CliRegistry &registry)
{
    registry.add({ QStringLiteral("add"), kAddUsage,
                   QStringLiteral("make a record as New Record does, set its attributes and print its recordID"),
                   runAdd });
    registry.add(
        { QStringLiteral("set"), kSetUsage, QStringLiteral("set attributes of the record RECORD_ID"), runSet });
    registry.add({ QStringLiteral("show"), kShowUsage, QStringLiteral("print the record RECORD_ID as JSON"), runShow });
}
