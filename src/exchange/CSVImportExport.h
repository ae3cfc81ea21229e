#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>

class ManagedObject;
class Record;

// The CSV exchange of records. Export: a header line of the 16 column titles,
// then one line per record, dates and money in the given locale's short date and
// currency style.
class CSVImportExport
{
public:
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
};
