#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QVariant>

#include "store/AttributeDescription.h"

class Record;

// The JSON shape of a record, shared by every command that prints records:
// one object with every attribute by name; texts as strings, whole numbers and
// numbers as JSON numbers, booleans as true/false, dates in ISO 8601 UTC, the
// notes as their plain text, missing values as null; the custom field values
// ("customField": [{cfName, cfType, cfTextField}]) and attachment entries
// ("fileData": [{fileName, fileType, displayName}]) as arrays of objects.
class RecordJson
{
public:
    static QJsonObject toJson(const Record &record);
    // One attribute value of the given type (notes excepted: bytes go out as Base64).
    static QJsonValue valueToJson(const QVariant &value, AttributeDescription::Type type);
};
