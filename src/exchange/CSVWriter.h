#pragma once

#include <QString>
#include <QStringList>

// Writes the comma-separated text the exported files hold: UTF-8 without a byte
// order mark, a comma between fields, every line ended by one line feed.
namespace CSVWriter {

// A field as written: unchanged, or enclosed in double quotes with every double
// quote doubled when it holds a comma, a double quote or any line-break character
// (a reader that splits lines on any of them would otherwise cut the record), or
// a backslash (which the import reads as an escape outside quotes only).
QString field(const QString &text);

// One line of fields, with its line feed.
QString line(const QStringList &fields);

} // namespace CSVWriter
