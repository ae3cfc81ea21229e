#pragma once

#include <QString>

// One to-many relationship. Members are kept in a join table, so one object may
// belong to several owners (a website in several web groups).
struct RelationshipDescription
{
    // What deleting the owner does to its members: owned members go with it
    // (a record's custom field values), shared ones only leave the set.
    enum class DeleteRule { Nullify, Cascade };

    QString name;
    QString destinationEntity;
    DeleteRule deleteRule = DeleteRule::Nullify;
    int sinceVersion = 1;
};
