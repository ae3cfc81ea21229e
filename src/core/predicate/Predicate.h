#pragma once

#include "core/predicate/KeyValueSource.h"

#include <QString>
#include <QVariantList>

#include <memory>

// A predicate of the program's model: a comparison or an AND/OR/NOT compound.
// An empty (default-constructed) predicate has the empty text form and
// matches everything.
class Predicate
{
public:
    Predicate();

    // Builds from a format with %K (key), %@ (value) and %d (integer) arguments,
    // e.g. fromFormat("%K == %@", {"categoryName", name}).
    static Predicate fromFormat(const QString &format, const QVariantList &arguments = {});

    bool isEmpty() const;
    bool evaluate(const KeyValueSource &object) const;
    // The text form in the customary notation, e.g. `item CONTAINS[cd] "lamp"`.
    QString description() const;

private:
    struct Node;
    std::shared_ptr<const Node> m_root;
};
