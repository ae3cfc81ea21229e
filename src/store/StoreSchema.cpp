#include "store/StoreSchema.h"

#include <QSqlError>
#include <QSqlQuery>

const QString &StoreSchema::storeIdentifier()
{
    static const QString identifier = QStringLiteral("Stashly2-ObjectStore");
    return identifier;
}

const QString &StoreSchema::metadataTable()
{
    static const QString name = QStringLiteral("stashly_metadata");
    return name;
}

const QString &StoreSchema::primaryKeyTable()
{
    static const QString name = QStringLiteral("stashly_primarykeys");
    return name;
}

QString StoreSchema::quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QLatin1String("\"\"")) + QLatin1Char('"');
}

// Entity names such as "Group" are SQL words; a prefix keeps every table name plain.
QString StoreSchema::entityTable(const EntityDescription &entity)
{
    return QStringLiteral("e_") + entity.name();
}

QString StoreSchema::joinTable(const EntityDescription &entity, const RelationshipDescription &relationship)
{
    return QStringLiteral("r_%1_%2").arg(entity.name(), relationship.name);
}

QString StoreSchema::columnType(AttributeDescription::Type type)
{
    using Type = AttributeDescription::Type;
    switch (type) {
    case Type::Text:
        return QStringLiteral("TEXT");
    case Type::Integer:
    case Type::Boolean:
    case Type::Date: // milliseconds since 1970-01-01 UTC
        return QStringLiteral("INTEGER");
    case Type::Number:
        return QStringLiteral("REAL");
    case Type::Bytes:
        return QStringLiteral("BLOB");
    }
    return QStringLiteral("BLOB");
}

QString StoreSchema::createEntityTable(const EntityDescription &entity, int version)
{
    QStringList columns { QStringLiteral("pk INTEGER PRIMARY KEY") };
    for (const AttributeDescription &a : entity.attributes())
        if (a.sinceVersion <= version)
            columns.append(quoted(a.name) + QLatin1Char(' ') + columnType(a.type));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(entityTable(entity)), columns.join(QStringLiteral(", ")));
}

QStringList StoreSchema::createJoinTable(const EntityDescription &entity, const RelationshipDescription &relationship)
{
    const QString table = joinTable(entity, relationship);
    return {
        QStringLiteral("CREATE TABLE %1 (owner INTEGER NOT NULL, member INTEGER NOT NULL, "
                       "PRIMARY KEY (owner, member)) WITHOUT ROWID")
            .arg(quoted(table)),
        QStringLiteral("CREATE INDEX %1 ON %2 (member)").arg(quoted(table + QStringLiteral("_member")), quoted(table))
    };
}

QStringList StoreSchema::createStatements(const ManagedObjectModel &model, int version, const QString &uuid)
{
    QStringList sql;
    sql << QStringLiteral("CREATE TABLE %1 (key TEXT PRIMARY KEY NOT NULL, value TEXT)").arg(metadataTable())
        << QStringLiteral("CREATE TABLE %1 (entity TEXT PRIMARY KEY NOT NULL, maxpk INTEGER NOT NULL)")
               .arg(primaryKeyTable())
        << QStringLiteral("INSERT INTO %1 (key, value) VALUES ('identifier', '%2')")
               .arg(metadataTable(), storeIdentifier())
        << QStringLiteral("INSERT INTO %1 (key, value) VALUES ('modelVersion', '%2')").arg(metadataTable()).arg(version)
        << QStringLiteral("INSERT INTO %1 (key, value) VALUES ('storeUUID', '%2')").arg(metadataTable(), uuid);
    for (const EntityDescription &entity : model.entities()) {
        if (entity.sinceVersion() > version)
            continue;
        sql << createEntityTable(entity, version);
        for (const RelationshipDescription &r : entity.relationships())
            if (r.sinceVersion <= version)
                sql << createJoinTable(entity, r);
    }
    return sql;
}

QStringList StoreSchema::existingColumns(QSqlDatabase &db, const QString &table)
{
    QStringList columns;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table))))
        return columns;
    while (q.next())
        columns.append(q.value(1).toString());
    return columns;
}

QString StoreSchema::missingPart(QSqlDatabase &db, const ManagedObjectModel &model, int version)
{
    if (existingColumns(db, primaryKeyTable()).isEmpty())
        return QStringLiteral("its table %1 is missing").arg(primaryKeyTable());
    for (const EntityDescription &entity : model.entities()) {
        if (entity.sinceVersion() > version)
            continue;
        const QStringList columns = existingColumns(db, entityTable(entity));
        if (columns.isEmpty())
            return QStringLiteral("its table of %1 objects is missing").arg(entity.name());
        for (const AttributeDescription &a : entity.attributes())
            if (a.sinceVersion <= version && !columns.contains(a.name))
                return QStringLiteral("the column %1 of its %2 table is missing").arg(a.name, entity.name());
        for (const RelationshipDescription &r : entity.relationships())
            if (r.sinceVersion <= version && existingColumns(db, joinTable(entity, r)).isEmpty())
                return QStringLiteral("its table of the %1 of %2 objects is missing").arg(r.name, entity.name());
    }
    return {};
}

bool StoreSchema::migrate(QSqlDatabase &db, const ManagedObjectModel &model, QString *error)
{
    QStringList sql;
    for (const EntityDescription &entity : model.entities()) {
        const QStringList columns = existingColumns(db, entityTable(entity));
        if (columns.isEmpty()) {
            sql << createEntityTable(entity, model.version());
        } else {
            for (const AttributeDescription &a : entity.attributes())
                if (!columns.contains(a.name))
                    sql << QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                               .arg(quoted(entityTable(entity)), quoted(a.name), columnType(a.type));
        }
        for (const RelationshipDescription &r : entity.relationships())
            if (existingColumns(db, joinTable(entity, r)).isEmpty())
                sql << createJoinTable(entity, r);
    }
    sql << QStringLiteral("UPDATE %1 SET value = '%2' WHERE key = 'modelVersion'")
               .arg(metadataTable())
               .arg(model.version());
    QSqlQuery q(db);
    for (const QString &statement : sql) {
        if (!q.exec(statement)) {
            if (error)
                *error = q.lastError().text();
            return false;
        }
    }
    return true;
}
