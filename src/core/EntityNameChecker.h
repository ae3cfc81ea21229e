#pragma once

#include <QList>
#include <QString>

class ArrayController;
class ManagedObject;

// The unique-name rule: makes the name of a new or renamed object unique within
// its list (locations, payment methods, currencies, categories, smart folders,
// web groups). The list is the arranged objects of an array controller, which
// is refetched before each comparison; `key` is the attribute holding the name.
// Names are compared as whole, case-sensitive texts: a name is escaped before
// it is used as a pattern, so "Tools (garage)" or "C++" match only themselves.
class EntityNameChecker
{
public:
    // For a name about to be given to a new object: Tools, Tools 1, Tools 2 ...
    static QString checkName(const QString &name, ArrayController &arrayController, const QString &key);
    // For a name an object of the list already carries: one match (the object
    // itself) is allowed on the first comparison.
    static QString kvoCheckName(const QString &name, ArrayController &arrayController, const QString &key);
    // For the current name of an object of the list; empty for no object or no key.
    static QString checkNameOfManagedObject(ManagedObject *object, ArrayController &arrayController,
                                            const QString &key);

private:
    static QList<ManagedObject *> matches(const QString &candidate, ArrayController &arrayController,
                                          const QString &key);
    static QString nextCandidate(const QString &candidate, const QString &name, int n);
};
