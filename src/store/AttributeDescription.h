#pragma once

#include <QString>

// One stored attribute of an entity. Every attribute is optional: a missing
// value is legal everywhere and is kept apart from an empty text.
struct AttributeDescription
{
    enum class Type { Text, Integer, Number, Boolean, Date, Bytes };

    QString name;
    Type type = Type::Text;
    // The model version that added the attribute; older stores gain its column
    // when they are opened.
    int sinceVersion = 1;
};
