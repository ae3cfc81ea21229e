#pragma once

#include <QByteArray>
#include <QString>

// Makes a library store of realistic records: every attribute filled, three
// custom field values and one attachment entry each, plus the reference lists.
namespace LibraryGenerator {

bool generate(const QString &storePath, int records, QString *error);

// The notes archive used here: a marker, then the plain text in UTF-8.
QByteArray archiveNotes(const QString &text);
QString notesPlainText(const QByteArray &archive);

} // namespace LibraryGenerator
