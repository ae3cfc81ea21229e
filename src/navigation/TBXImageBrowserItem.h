#pragma once

#include "store/ObjectID.h"

#include <QString>

class ManagedObject;

// One item of the icon view, made from a record when it is asked for.
class TBXImageBrowserItem
{
public:
    QString filename; // the thumbnail's file name: the recordID as text
    QString imageTitle; // item, or "manufacturer model" when there is no item
    QString imageSubtitle; // "manufacturer model", unless the title already holds it
    ObjectID moID;
    QString recID;
    QString uniqueIdentifier; // new at every refresh, so the image is read again
    ManagedObject *record = nullptr;

    static TBXImageBrowserItem fromRecord(ManagedObject *record, const QString &uniqueIdentifier);
    // The decimal text of a recordID, as the thumbnail and folder names use it.
    static QString recordIDText(const QVariant &recordID);
};
