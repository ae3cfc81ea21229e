#include "navigation/DragPayload.h"

#include "base/Events.h"
#include "store/ManagedObject.h"

#include <QMimeData>
#include <QUrl>

QMimeData *DragPayload::mimeDataForRecords(const QList<ManagedObject *> &records)
{
    QStringList uris;
    for (const ManagedObject *record : records)
        uris.append(record->objectID().uriRepresentation());
    auto *data = new QMimeData;
    data->setData(recordMimeType, uris.join(QLatin1Char('\n')).toUtf8());
    return data;
}

bool DragPayload::hasRecords(const QMimeData *data)
{
    return data && data->hasFormat(recordMimeType);
}

QStringList DragPayload::recordURIs(const QMimeData *data)
{
    if (!hasRecords(data))
        return {};
    return QString::fromUtf8(data->data(recordMimeType)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QVariantMap DragPayload::fromMimeData(const QMimeData *data)
{
    QVariantMap payload { { EventKeys::source, sourceExternal } };
    if (!data)
        return payload;
    QStringList files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files.append(url.toLocalFile());
    if (!files.isEmpty())
        payload.insert(EventKeys::filePathArray, files);
    return payload;
}

bool DragPayload::hasFiles(const QVariantMap &payload)
{
    return !payload.value(EventKeys::filePathArray).toStringList().isEmpty();
}
