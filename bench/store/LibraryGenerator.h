#pragma once

#include <QByteArray>
#include <QString>

// Makes a library package of realistic records: every attribute filled, three
// custom field values and one attachment entry each, plus the reference lists.
namespace LibraryGenerator {

bool generate(const QString &packagePath, int records, QString *error);

} // namespace LibraryGenerator
