#include "navigation/SelectedAssets.h"

#include "store/ManagedObject.h"

QVariant SelectedAssets::toVariant(const QList<ManagedObject *> &records)
{
    QVariantList list;
    list.reserve(records.size());
    for (ManagedObject *record : records)
        list.append(QVariant::fromValue(record));
    return list;
}

QList<ManagedObject *> SelectedAssets::fromVariant(const QVariant &value)
{
    QList<ManagedObject *> records;
    if (value.canConvert<ManagedObject *>() && value.metaType() == QMetaType::fromType<ManagedObject *>()) {
        if (auto *record = value.value<ManagedObject *>())
            records.append(record);
        return records;
    }
    if (value.metaType() == QMetaType::fromType<QList<ManagedObject *>>())
        return value.value<QList<ManagedObject *>>();
    for (const QVariant &v : value.toList())
        if (auto *record = v.value<ManagedObject *>())
            records.append(record);
    return records;
}
