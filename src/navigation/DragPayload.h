#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class ManagedObject;
class QMimeData;

// What drags carry between the program's views: records as the record
// reference type (their object URIs, one per line), and files as the drag
// payload {source, filePathArray} that the drop targets post.
class DragPayload
{
public:
    // The record reference type, TBXManagedObjectIDPboardType.
    static inline const QString recordMimeType = QStringLiteral("application/x-tbxmanagedobjectidpboardtype");
    static inline const QString sourceExternal = QStringLiteral("external");

    static QMimeData *mimeDataForRecords(const QList<ManagedObject *> &records);
    static bool hasRecords(const QMimeData *data);
    static QStringList recordURIs(const QMimeData *data);

    // The payload of a drag from outside the program: `source` "external" and
    // `filePathArray` with the local files it carries (missing when none).
    static QVariantMap fromMimeData(const QMimeData *data);
    static bool hasFiles(const QVariantMap &payload);
};
