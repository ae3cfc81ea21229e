#pragma once

#include "predicate/Predicate.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class ManagedObject;
class ManagedObjectContext;

// Speeds up the library search over many records. For each record it keeps
// the texts that the sixteen search terms read, folded as the terms fold them
// and joined by a character no search text holds, so that one substring test
// answers all sixteen terms. It only narrows: the records it rules out cannot
// match the search, and the record list still applies its whole filter to the
// rest. Entries are dropped whenever the store reports a change to them.
class RecordSearchIndex
{
public:
    RecordSearchIndex();
    ~RecordSearchIndex();
    RecordSearchIndex(const RecordSearchIndex &) = delete;
    RecordSearchIndex &operator=(const RecordSearchIndex &) = delete;

    void setManagedObjectContext(ManagedObjectContext *context);

    // The text of the library search in `filter`, when the filter is that search
    // or an AND with it among its members.
    static std::optional<QString> searchTextIn(const Predicate &filter);

    // The records among `records` that may match a search for `text`; none when
    // the index cannot tell (the caller then tests every record).
    std::optional<QList<ManagedObject *>> candidates(const QList<ManagedObject *> &records, const QString &text);

    // Makes the entry of a record ahead of the first search.
    void prepare(const ManagedObject *record);
    int entryCount() const { return int(m_entries.size()); }

private:
    const QString &entry(const ManagedObject *record);
    void objectsDidChange(const QVariantMap &changes);

    ManagedObjectContext *m_context = nullptr;
    QHash<const ManagedObject *, QString> m_entries;
};
