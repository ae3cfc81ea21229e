#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

#include <optional>

#include "records/RecordNumbering.h"

class ManagedObject;
class ManagedObjectContext;
class Record;
class RecordSelection;

// Makes one record from a creation request (key "source" says where it comes
// from): its folder under Files and its thumbnail first, then the record with
// the library's defaults and the custom fields of its category, saved and
// announced. Events go out in the name of `sender`, the controller that
// stands for record creation.
class RecordCreator
{
public:
    RecordCreator(ManagedObjectContext *context, const QString &package, RecordSelection &selection,
                  const void *sender);

    // The new, saved record; none when its folder or thumbnail cannot be made.
    Record *addNewRecord(const QVariantMap &request);

    // While set (a CSV import), addNewRecord posts no per-record events.
    bool silentAddNewRecord() const { return m_silent; }
    void setSilentAddNewRecord(bool silent) { m_silent = silent; }

    // A decimal text such as "19.99" (from a product lookup) as a number; also
    // tolerates a currency sign or grouping around the digits.
    static std::optional<double> decimalFromText(const QString &text);

private:
    // The record's folder and thumbnail, made before the record itself.
    struct RecordFiles
    {
        double number = 0;
        QString folder;
        QString thumbnail;
    };

    void clearSelectionAndHoldViews();
    std::optional<RecordFiles> makeFolderAndThumbnail(const QString &source, const QStringList &paths);
    void fileIntoUnfiledWhenNoCategory();
    QList<ManagedObject *> customFieldTemplates() const;
    Record *insertRecordWithDefaults(const RecordFiles &files, const QString &currency);
    void addCustomFields(Record *record, const QList<ManagedObject *> &templates);
    void applyRequest(Record *record, const QString &source, const QVariantMap &request, const QString &currency);
    void saveAndSelect(Record *record);
    void announce(Record *record, const QString &source);

    ManagedObject *categoryNamed(const QString &name) const;
    QString defaultName(const QString &entity, const QString &flag, const QString &nameKey) const;
    QString defaultCurrency() const;

    ManagedObjectContext *m_context;
    QString m_package;
    RecordSelection &m_selection;
    const void *m_sender;
    RecordNumbering m_numbering;
    bool m_silent = false;
};
