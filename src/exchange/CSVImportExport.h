#pragma once

#include <QDate>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <optional>

class ManagedObject;
class Record;
class RecordController;

// The CSV exchange of records. Export: a header line of the 16 column titles,
// then one line per record, dates and money in the given locale's short date and
// currency style. Import: one line dictionary per line of a file (keys are
// field titles), checked whole before any record is made, then the records made
// through record creation as one undo step.
class CSVImportExport
{
public:
    static inline const QString customFieldPrefix = QStringLiteral("cft-");
    static inline const QString purchaseCurrencyTitle = QStringLiteral("Purchase Currency");
    static inline const QString replacementCurrencyTitle = QStringLiteral("Replacement Currency");

    // The 16 column titles, in the order of the file.
    static const QStringList &columnTitles();
    // The record attribute each column title stands for ("Warranty Length" and
    // "Extended Warranty" stand for the length number; the increment goes with it).
    static QString attributeForTitle(const QString &title);

    // The 16 fields of a record as written (before quoting); a missing value is empty.
    static QStringList exportFields(const Record &record, const QLocale &locale);
    // The whole file text for `records` in their order; objects that are not records are skipped.
    static QString exportText(const QList<ManagedObject *> &records, const QLocale &locale);

    // The path written: `chosen` with ".csv" appended unless its extension is already csv.
    static QString exportPath(const QString &chosen);

    // Writes the file at exportPath(chosen), replacing any file there. The file
    // appears whole or not at all. False, with the reason in `error`, when it
    // cannot be written: the caller must tell the user, who would otherwise
    // believe the export happened.
    static bool exportRecords(const QString &chosen, const QList<ManagedObject *> &records, const QLocale &locale,
                              QString *error = nullptr, QString *writtenPath = nullptr);

    // One dictionary per line from `firstLine`: the field of column j under keys[j]
    // (a title, or customFieldPrefix and a name); an empty key leaves the column
    // out, fields beyond the keys are ignored, a later column wins over an
    // earlier one with the same key.
    static QList<QVariantMap> lineDictionaries(const QList<QStringList> &lines, const QStringList &keys, int firstLine);

    // What one line makes: the category, the record's attribute values and its
    // custom fields (name, text).
    struct ImportedRecord
    {
        QString category;
        QVariantMap values;
        QList<std::pair<QString, QString>> customFields;
    };

    // The records the lines make, every value read and checked against the
    // limits table. None, with "line N: ..." in `error` (N from `lineNumbers`),
    // when any value cannot be read or is out of bounds: a file is imported
    // whole or not at all. `currency` is the currency the currency columns set;
    // `defaultLocation` goes to lines without a location.
    static std::optional<QList<ImportedRecord>> readRecords(const QList<QVariantMap> &lines,
                                                            const QList<int> &lineNumbers, const QString &currency,
                                                            const QString &defaultLocation, const QLocale &locale,
                                                            const QDate &today, QString *error);

    // Makes the records through `controller` (silently, each filed in its
    // category), finding categories, locations, payment methods, vendors and
    // manufacturers by their exact names and making the missing ones; one undo
    // step when the context has an undo manager. Does not save. When a record
    // cannot be made, the ones made before it are deleted again: none, and `error`.
    static QList<Record *> handleMakeRecordsFromCSV(RecordController &controller, const QList<ImportedRecord> &records,
                                                    QString *error);

    // Amounts as the export writes them ("$1,234.50" in the locale's currency
    // style), else the first decimal number in the text; none without digits.
    static std::optional<double> readAmount(const QString &text, const QLocale &locale);
    // The first whole number in the text; none without digits.
    static std::optional<qlonglong> readWholeNumber(const QString &text);
};
