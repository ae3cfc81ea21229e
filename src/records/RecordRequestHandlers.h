#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

class ManagedObject;
class ManagedObjectContext;
class Record;
class RecordCreator;
class RecordSelection;
class VendorAssignment;

// The ways records arrive besides the New Record command: files (dropped,
// chosen, from the inbox or a photo library), a saved web page and barcodes
// (scanned or typed), each turned into creation requests for the creator, plus
// filling a known record from barcode lookup data. Events go out in the name
// of `sender`.
class RecordRequestHandlers
{
public:
    RecordRequestHandlers(ManagedObjectContext *context, const QString &package, RecordCreator &creator,
                          RecordSelection &selection, VendorAssignment &vendors, const void *sender);

    // One record per path of info "filePathArray", in the category info "rowName".
    QList<Record *> makeNewRecordsFromFiles(const QVariantMap &info);
    Record *handleNewRecordFromWebArchive(const QVariantMap &payload);
    // A known barcode raises that record's quantity and returns it; otherwise a new record.
    Record *handleNewRecordFromBarcode(const QVariantMap &payload);
    void handlePopulateRecordWithBarcodeLookupData(const QVariantMap &payload);

private:
    QList<ManagedObject *> recordsWithBarcode(const QVariant &barcode) const;
    // Makes the product group's category when missing and files new records there.
    void chooseCategoryOfProductGroup(const QString &group);

    ManagedObjectContext *m_context;
    QString m_package;
    RecordCreator &m_creator;
    RecordSelection &m_selection;
    VendorAssignment &m_vendors;
    const void *m_sender;
};
