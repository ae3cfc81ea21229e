#pragma once

#include "store/ManagedObjectModel.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Table layout of the store file, and the additive migration of older files.
class StoreSchema
{
public:
    // Stored in the metadata table; a file without it is not one of ours.
    static const QString &storeIdentifier();
    static const QString &metadataTable();
    static const QString &primaryKeyTable();

    static QString entityTable(const EntityDescription &entity);
    static QString joinTable(const EntityDescription &entity, const RelationshipDescription &relationship);
    static QString quoted(const QString &name);
    static QString columnType(AttributeDescription::Type type);

    // Statements that make an empty store of `version` of the model.
    static QStringList createStatements(const ManagedObjectModel &model, int version, const QString &uuid);

    // Adds the tables, columns and indexes that a file of an older version lacks
    // and records the current version. The caller holds the transaction.
    static bool migrate(QSqlDatabase &db, const ManagedObjectModel &model, QString *error);

    // The first table or column that a file of `version` must have and lacks,
    // described for the user; empty when nothing is missing.
    static QString missingPart(QSqlDatabase &db, const ManagedObjectModel &model, int version);

    // Columns that a table of the file has (empty when there is no such table).
    static QStringList existingColumns(QSqlDatabase &db, const QString &table);

private:
    static QString createEntityTable(const EntityDescription &entity, int version);
    static QStringList createJoinTable(const EntityDescription &entity, const RelationshipDescription &relationship);
};
