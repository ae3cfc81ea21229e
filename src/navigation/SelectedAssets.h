#pragma once

#include <QList>
#include <QVariant>

class ManagedObject;

// The `selectedAssets` payload: records travel between controllers as a list of
// object pointers. Posters put a QVariantList of ManagedObject pointers; readers
// also accept a QList<ManagedObject *> and a single object.
class SelectedAssets
{
public:
    static QVariant toVariant(const QList<ManagedObject *> &records);
    static QList<ManagedObject *> fromVariant(const QVariant &value);
};
