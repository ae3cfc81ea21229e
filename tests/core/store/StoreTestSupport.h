#pragma once

#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QStringList>

#include <algorithm>

namespace StoreTestSupport {

inline std::unique_ptr<ManagedObjectContext>
openStore(const QString &path, ManagedObjectContext::OpenMode mode = ManagedObjectContext::OpenMode::CreateIfMissing)
{
    QString error;
    auto context = ManagedObjectContext::open(path, mode, &error);
    if (!context)
        qWarning("open failed: %s", qPrintable(error));
    return context;
}

inline QList<ManagedObject *> all(ManagedObjectContext &context, const QString &entity)
{
    return context.executeFetchRequest({ entity, Predicate(), {}, 0 });
}

// Every live object with its values and members, one line each, in a stable
// order: equal snapshots mean equal contents.
inline QStringList snapshot(ManagedObjectContext &context)
{
    QStringList lines;
    for (const QString &entity : context.model().entityNames()) {
        for (ManagedObject *object : all(context, entity)) {
            QStringList parts { object->objectID().uriRepresentation() };
            for (const AttributeDescription &a : object->entity().attributes()) {
                const QVariant v = object->valueForKey(a.name);
                parts.append(a.name + QLatin1Char('=')
                             + (v.isValid() ? QString::fromLatin1(v.typeName()) + QLatin1Char(':') + v.toString()
                                            : QStringLiteral("nil")));
            }
            for (const RelationshipDescription &r : object->entity().relationships()) {
                QStringList members;
                for (ManagedObject *m : object->relatedObjects(object->entity().relationshipIndex(r.name)))
                    members.append(m->objectID().uriRepresentation());
                std::sort(members.begin(), members.end());
                parts.append(r.name + QStringLiteral("={") + members.join(QLatin1Char(',')) + QLatin1Char('}'));
            }
            lines.append(parts.join(QLatin1Char('|')));
        }
    }
    return lines;
}

inline QByteArray fileDigest(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

} // namespace StoreTestSupport
