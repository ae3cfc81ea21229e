#pragma once

#include "navigation/RecordSearchIndex.h"
#include "store/ArrayController.h"
#include "store/ObjectID.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class ManagedObject;
class ManagedObjectContext;

// The shared provider of which records belong to a source row, independent of
// the search and the location filter: the source list's badges, smart folder
// contents, and the selected row that the views start from. It also holds the
// lists of the store that the views share: records (filtered and sorted by the
// record views), categories, smart folders.
class VisibleAssetController : public QObject
{
    Q_OBJECT

public:
    // The one instance for the whole process.
    static VisibleAssetController &sharedManager();

    // The store to work on; none detaches (tests, closing a library).
    void setManagedObjectContext(ManagedObjectContext *context);
    ManagedObjectContext *managedObjectContext() const { return m_context; }

    ArrayController &recordArrayController() { return *m_records; }
    ArrayController &categoryArrayController() { return *m_categories; }
    ArrayController &smartFolderArrayController() { return *m_smartFolders; }

    const QString &selectedRowIdentifier() const { return m_rowIdentifier; }
    void setSelectedRowIdentifier(const QString &identifier) { m_rowIdentifier = identifier; }
    const QString &selectedRowName() const { return m_rowName; }
    void setSelectedRowName(const QString &name) { m_rowName = name; }
    const QString &selectedRowType() const { return m_rowType; }
    void setSelectedRowType(const QString &type) { m_rowType = type; }
    const QList<ManagedObject *> &selectedRecords() const { return m_selectedRecords; }
    void setSelectedRecords(const QList<ManagedObject *> &records) { m_selectedRecords = records; }

    // Every record of the store, in store order.
    QList<ManagedObject *> allRecords() const;

    // The records of a row: a category's records; a smart folder's records
    // ordered by item; none for any other row type. The search never narrows
    // them: the flag is kept for the callers that name it.
    QList<ManagedObject *> visibleAssetsForRowIdentifier(const QString &identifier, const QString &rowName,
                                                         const QString &rowType, bool usingSearchField) const;
    // The number of records of every category name, counted in one pass.
    QHash<QString, int> recordCountsByCategory() const;
    // The number of records a smart folder holds.
    int recordCountOfSmartFolder(const ManagedObject *folder, const QList<ManagedObject *> &records) const;

    // Recomputes the records of the selected row; for a smart folder row also the
    // folder's contents, announced with TBXFilteredSmartFolder.
    void refreshVisibleAssetsUsingSearchField(bool usingSearchField);
    QList<ManagedObject *> visibleAssetsWithRefreshUsingSearchField(bool usingSearchField);
    const QList<ManagedObject *> &visibleAssets() const { return m_visibleAssets; }

    // A smart folder's records and their number as last computed (kept in memory only).
    QList<ManagedObject *> assetsInFolder(const ManagedObject *folder) const { return m_folderContents.value(folder); }
    int contentsCount(const ManagedObject *folder) const { return int(m_folderContents.value(folder).size()); }

    // Re-reads the record list from the store and arranges it with its filter.
    // Arranging 50,000 records is the expensive part: the list is arranged once,
    // and a search in the filter first narrows the records through the index.
    void reloadRecordList();
    void reloadRecordList(const Predicate &filter);
    RecordSearchIndex &searchIndex() { return m_searchIndex; }

    // Makes the search index, a slice per event-loop turn, so that the first
    // search is as quick as the next.
    void prepareSearch();
    bool isPreparingSearch() const { return !m_toPrepare.isEmpty(); }

private:
    VisibleAssetController();
    void prepareNextSlice();
    QList<ManagedObject *> recordListContent(const Predicate &filter);
    QList<ManagedObject *> smartFolderRecords(const ManagedObject *folder, const QList<ManagedObject *> &records) const;

    ManagedObjectContext *m_context = nullptr;
    std::unique_ptr<ArrayController> m_records;
    std::unique_ptr<ArrayController> m_categories;
    std::unique_ptr<ArrayController> m_smartFolders;
    QString m_rowIdentifier;
    QString m_rowName;
    QString m_rowType = QStringLiteral("All");
    QList<ManagedObject *> m_selectedRecords;
    QList<ManagedObject *> m_visibleAssets;
    QHash<const ManagedObject *, QList<ManagedObject *>> m_folderContents;
    RecordSearchIndex m_searchIndex;
    QList<ObjectID> m_toPrepare;
    QObject m_timerOwner;
};
