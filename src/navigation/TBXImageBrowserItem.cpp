#include "navigation/TBXImageBrowserItem.h"

#include "core/Record.h"
#include "store/ManagedObject.h"

QString TBXImageBrowserItem::recordIDText(const QVariant &recordID)
{
    if (!recordID.isValid())
        return QString();
    return Record::recordIDText(recordID.toDouble());
}

TBXImageBrowserItem TBXImageBrowserItem::fromRecord(ManagedObject *record, const QString &uniqueIdentifier)
{
    TBXImageBrowserItem item;
    item.record = record;
    item.recID = recordIDText(record->valueForKey(QStringLiteral("recordID")));
    item.filename = item.recID;
    item.moID = record->objectID();
    item.uniqueIdentifier = uniqueIdentifier;
    const QString makerAndModel
        = QStringLiteral("%1 %2").arg(record->valueForKey(QStringLiteral("manufacturer")).toString(),
                                      record->valueForKey(QStringLiteral("model")).toString());
    const QString title = record->valueForKey(QStringLiteral("item")).toString();
    if (!title.isEmpty()) {
        item.imageTitle = title;
        item.imageSubtitle = makerAndModel;
    } else {
        item.imageTitle = makerAndModel;
    }
    return item;
}
