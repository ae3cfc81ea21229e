#pragma once

#include <QList>
#include <QString>

// The columns of the record list, in their order. Identifiers are the record
// attributes they show.
class RecordListColumn
{
public:
    enum class Kind { Text, Integer, Price, Date, Boolean, Level, Condition, Label };

    QString identifier;
    QString title;
    Kind kind;
    int width;

    static const QList<RecordListColumn> &all();
    // The position of a column, or -1.
    static int indexOf(const QString &identifier);
    // The currency attribute that goes with a price column; empty otherwise.
    static QString currencyKeyFor(const QString &identifier);
};
