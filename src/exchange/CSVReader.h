#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Reads comma-separated text: what the export writes and what spreadsheet
// programs save. UTF-8 with or without a byte order mark; lines ended by LF,
// CRLF or CR, the last one with or without its end; quoted fields with doubled
// quotes and line breaks inside. Empty lines are skipped.
class CSVReader
{
public:
    struct Options
    {
        QChar separator = QLatin1Char(',');
        // In an unquoted field, a backslash before a double quote, the separator
        // or another backslash makes that character plain text; before anything
        // else it is kept, so a path such as C:\temp reads unchanged. Inside
        // quotes a backslash is plain text: quoted fields follow the doubled-quote
        // rule alone, as the export writes every text holding a backslash, so an
        // exported file reads back unchanged.
        bool backslashEscapes = true;
        // Enclosing quotes removed, doubled quotes and escapes resolved; off, every
        // field is its text as written.
        bool sanitize = true;
        // Leading and trailing white space of every field removed.
        bool trim = true;
    };

    struct Result
    {
        QList<QStringList> lines;
        // The line of the text (from 1) where each of `lines` starts.
        QList<int> lineNumbers;
        // Empty when the text was read; else the fault, and the line (from 1) where it is.
        QString error;
        int errorLine = 0;
        bool ok() const { return error.isEmpty(); }
    };

    // A malformed text gives no lines at all, only the error.
    static Result read(const QByteArray &bytes, const Options &options);
    static Result readFile(const QString &path, const Options &options);
};
