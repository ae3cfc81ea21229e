#pragma once

#include <QString>

#include <optional>

// Hands out record numbers (the recordID: the creation time) and makes each
// number's folder under Files. Numbers only grow, so records made within one
// tick of the clock still get numbers of their own; a number whose folder or
// thumbnail is already on disk is passed over, which also keeps two makers on
// one package apart.
class RecordNumbering
{
public:
    explicit RecordNumbering(const QString &package);

    // Makes Files/<text> for the next free record number; none on failure,
    // with the reason in `error`.
    std::optional<double> makeRecordFolder(QString *error);

private:
    QString m_package;
    double m_lastRecordNumber = 0;
};
