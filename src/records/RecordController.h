#pragma once

#include "store/ObjectID.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <memory>

class ArrayController;
class ManagedObject;
class ManagedObjectContext;
class Record;
class RecordCreator;
class RecordRequestHandlers;
class RecordSelection;
class VendorAssignment;

// The record controller of the interface: the one place that makes records,
// through addNewRecord() (a creation request whose key "source" says where the
// record comes from), and that listens for every other way records arrive: the
// New Record command, files (dropped, chosen, from the inbox or a photo
// library), a saved web page, and barcodes (scanned or typed), plus filling a
// record from barcode lookup data. Its jobs are done by RecordCreator,
// RecordRequestHandlers, RecordSelection and VendorAssignment; events go out
// in this controller's name.
//
// Observes TBXSelectedSourceNameChanged (which category new records go to),
// the record selection events (selectedMOID), TBXFilesDraggedToCategory,
// TBXBrowserMakeNewRecord, TBXRecordListViewMakeNewRecord,
// TBXNewRecordFromWebArchive, TBXNewRecordFromBarcode and
// TBXPopulateRecordWithBarcodeLookupData.
class RecordController : public QObject
{
    Q_OBJECT

public:
    // Values of the request's "source" (and of "recordCreationMethod").
    static inline const QString SourceUIClick = QStringLiteral("UIClick");
    static inline const QString SourceFiles = QStringLiteral("files");
    static inline const QString SourceInbox = QStringLiteral("inbox");
    static inline const QString SourceIPhoto = QStringLiteral("iphoto");
    static inline const QString SourceBarcode = QStringLiteral("barcode");
    static inline const QString SourceCSV = QStringLiteral("csv");
    static inline const QString SourceWebArchive = QStringLiteral("webArchive");
    static inline const QString SourceDuplicate = QStringLiteral("Duplicate");

    // Keys of a creation request besides "source", "filePathArray" and "rowName".
    static inline const QString fileDateKey = QStringLiteral("fileDate");
    static inline const QString titleKey = QStringLiteral("title");
    static inline const QString brandKey = QStringLiteral("brand");
    static inline const QString modelKey = QStringLiteral("model");
    static inline const QString barcodeKey = QStringLiteral("barcode");
    static inline const QString replacementCostKey = QStringLiteral("replacementCost");
    // The record made for a request, added to the payloads that hand files on
    // (TBXFilesDraggedToRecordTable, TBXAddWebArchiveToNewRecord).
    static inline const QString recordKey = QStringLiteral("record");

    static inline const QString unfiledCategoryName = QStringLiteral("Unfiled");
    static inline const QString allRecordsRowName = QStringLiteral("ALL RECORDS");

    // `package` is the library package whose Files, Thumbnails and Temp folders
    // the records use.
    RecordController(ManagedObjectContext *context, const QString &package, QObject *parent = nullptr);
    ~RecordController() override;

    // The record list and the icon view, whose selections follow new records,
    // and the category list; any may be none.
    void setRecordArrayControllers(ArrayController *recordList, ArrayController *iconView);
    void setCategoryArrayController(ArrayController *categories);

    // The new, saved record; none when its folder or thumbnail cannot be made.
    Record *addNewRecord(const QVariantMap &request);
    // The New Record command: a record from {"source": "UIClick"}, selected, and
    // newRecordReadyForEditing() so the form puts the cursor in its item name.
    Record *addNewRecordMenuButton();
    // One record per path of info "filePathArray", in the category info "rowName".
    QList<Record *> makeNewRecordsFromFiles(const QVariantMap &info);

    // Event handlers (the payload of the event).
    QList<Record *> handleNewRecordsFromFilesDraggedToCategory(const QVariantMap &payload);
    Record *handleNewRecordFromWebArchive(const QVariantMap &payload);
    // A known barcode raises that record's quantity and returns it; otherwise a new record.
    Record *handleNewRecordFromBarcode(const QVariantMap &payload);
    void handlePopulateRecordWithBarcodeLookupData(const QVariantMap &payload);
    void handleSelectedSourceNameChanged(const QVariantMap &payload);
    void handleSelectedRecordChanged(const QVariantMap &payload);

    // Picks the Vendor of that name, or makes it and sets it on the selected records.
    void vendorSourceSelected(const QString &vendor);

    // The URI texts, or the identifiers, of the objects' identifiers (skipping none).
    static QStringList URIRepresentationsOfManagedObjects(const QList<ManagedObject *> &objects);
    static QList<ObjectID> IDsOfManagedObjects(const QList<ManagedObject *> &objects);

    // The category new records go to ("" until a category row is selected).
    QString selectedCategoryName() const;
    void setSelectedCategoryName(const QString &name);
    // The record most recently made or singly selected.
    ObjectID selectedMOID() const;

    // While set (a CSV import), addNewRecord posts no per-record events.
    bool silentAddNewRecord() const;
    void setSilentAddNewRecord(bool silent);

    ManagedObjectContext *managedObjectContext() const { return m_context; }
    QString packagePath() const { return m_package; }

signals:
    // The New Record command made `record`: show it and put the text cursor in
    // its item name, with the text selected.
    void newRecordReadyForEditing(Record *record);

private:
    ManagedObjectContext *m_context;
    QString m_package;
    std::unique_ptr<RecordSelection> m_selection;
    std::unique_ptr<RecordCreator> m_creator;
    std::unique_ptr<VendorAssignment> m_vendors;
    std::unique_ptr<RecordRequestHandlers> m_requests;
};
