#pragma once

#include "store/ObjectID.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

class ArrayController;
class ManagedObject;
class ManagedObjectContext;
class Record;

// What record creation follows and leaves selected: the category chosen in the
// source list (where new records go), the record most recently made or singly
// selected, and the record views and category list whose selections follow new
// records. Any of the views may be none.
class RecordSelection
{
public:
    explicit RecordSelection(ManagedObjectContext *context);

    void setRecordArrayControllers(ArrayController *recordList, ArrayController *iconView);
    void setCategoryArrayController(ArrayController *categories) { m_categories = categories; }

    // The category new records go to ("" until a category row is selected).
    QString selectedCategoryName() const { return m_selectedCategoryName; }
    void setSelectedCategoryName(const QString &name) { m_selectedCategoryName = name; }
    ObjectID selectedMOID() const { return m_selectedMOID; }
    void setSelectedMOID(const ObjectID &id) { m_selectedMOID = id; }

    // TBXSelectedSourceNameChanged: a category row or All Records sets the
    // category and clears the record selection; other rows leave both alone.
    void handleSelectedSourceNameChanged(const QVariantMap &payload);
    // The record selection events: a single selected record is remembered.
    void handleSelectedRecordChanged(const QVariantMap &payload);

    void clearRecordSelection();
    // Selects `record` in the record list and the icon view.
    void selectRecord(Record *record);
    // Selects `record` in the record list only.
    void selectInRecordList(Record *record);
    void selectCategory(ManagedObject *category);
    // The record list's selection; without a list, the record last made or selected.
    QList<ManagedObject *> selectedRecords() const;
    QVariantList recordListSelectionIndexes() const;

    // The objects as an event payload list ("selectedAssets").
    static QVariantList assets(const QList<ManagedObject *> &objects);

private:
    ManagedObjectContext *m_context;
    ArrayController *m_recordList = nullptr;
    ArrayController *m_iconView = nullptr;
    ArrayController *m_categories = nullptr;
    QString m_selectedCategoryName;
    ObjectID m_selectedMOID;
};
