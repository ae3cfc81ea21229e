#include "StoreCommands.h"

#include "PredicateCommands.h"

#include "CliLibrary.h"
#include "core/PredicateCheck.h"
#include "core/Record.h"
#include "predicate/Predicate.h"
#include "records/RecordJson.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString kQueryUsage = QStringLiteral("query ENTITY [\"FORMAT\" [ARG ...]]");

QJsonObject toJson(const ManagedObject &object)
{
    QJsonObject json;
    json.insert(QStringLiteral("uri"), object.objectID().uriRepresentation());
    json.insert(QStringLiteral("entity"), object.entityName());
    for (const AttributeDescription &a : object.entity().attributes())
        json.insert(a.name, RecordJson::valueToJson(object.valueForKey(a.name), a.type));
    const QList<RelationshipDescription> &relationships = object.entity().relationships();
    for (int r = 0; r < relationships.size(); ++r) {
        QJsonArray members;
        for (const ManagedObject *member : object.relatedObjects(r))
            members.append(member->objectID().uriRepresentation());
        json.insert(relationships.at(r).name, members);
    }
    return json;
}

// Prints the objects of ENTITY that match the predicate, one JSON object a line,
// in store order. The arguments fill the format's placeholders as the predicate
// command reads them: texts as written, typed forms such as list:Home,Work.
int runQuery(CliContext &ctx, const QStringList &args)
{
    if (args.isEmpty()) {
        ctx.err << "Usage: stashly-cli [--library PATH] " << kQueryUsage << '\n';
        return 2;
    }
    // Opened as every command opens a library: read-only, so an older store is
    // read as it is, not migrated, and with the record class, so that derived
    // keys such as the notes' plain text are there to match.
    auto library = CliLibrary::open(ctx, CliLibrary::Access::Read);
    if (!library)
        return 1;
    ManagedObjectContext *context = &library->context();
    QString error;
    const QString entity = args.at(0);
    if (!context->model().entity(entity)) {
        ctx.err << "Unknown entity \"" << entity << "\"; the entities are "
                << context->model().entityNames().join(QStringLiteral(", ")) << '\n';
        return 2;
    }
    Predicate predicate;
    if (args.size() > 1) {
        QVariantList arguments;
        for (const QString &a : args.mid(2)) {
            arguments.append(predicateArgumentValue(a, &error));
            if (!error.isEmpty()) {
                ctx.err << error << '\n';
                return 2;
            }
        }
        std::optional<Predicate> parsed = Predicate::tryFromFormat(args.at(1), arguments, &error);
        if (!parsed) {
            ctx.err << "Bad predicate \"" << args.at(1) << "\": " << error << '\n';
            return 2;
        }
        predicate = *parsed;
        const QString problem = PredicateCheck::problem(predicate, *context->model().entity(entity), context->model());
        if (!problem.isEmpty()) {
            ctx.err << "Bad predicate \"" << args.at(1) << "\": " << problem << '\n';
            return 2;
        }
    }
    for (const ManagedObject *object : context->executeFetchRequest({ entity, predicate, {}, 0 }))
        ctx.out << QString::fromUtf8(QJsonDocument(toJson(*object)).toJson(QJsonDocument::Compact)) << '\n';
    return 0;
}

} // namespace

void addStoreCommands(CliRegistry &registry)
{
    registry.add({ QStringLiteral("query"), kQueryUsage,
                   QStringLiteral("print the library's objects of an entity as JSON lines"), runQuery });
}
