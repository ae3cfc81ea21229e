#pragma once

#include "predicate/Predicate.h"

#include <QString>

class ManagedObject;

// What the program does with a `SmartFolder` object of the store: its stored
// predicate and the corrected predicate that filters records. These work on any
// object of the entity, so they do not depend on which class the store made it
// with. The in-memory contents of a folder are kept by VisibleAssetController.
class SmartFolder
{
public:
    static inline const QString entityName = QStringLiteral("SmartFolder");
    static inline const QString smartFolderNameKey = QStringLiteral("smartFolderName");
    static inline const QString predicateDataKey = QStringLiteral("predicateData");

    static QString name(const ManagedObject *folder);
    // Why a folder cannot be given these: an empty name or one of spaces only,
    // rules with a key records do not have or a broken pattern. Empty when it can.
    static QString nameProblem(const QString &name);
    static QString rulesProblem(const Predicate &rules);
    // The stored predicate; none when the folder has none or it cannot be read.
    static std::optional<Predicate> predicate(const ManagedObject *folder);
    static bool setPredicate(ManagedObject *folder, const Predicate &predicate);
    // The stored predicate with its label tests corrected and its empty text
    // rules open; none as above.
    static std::optional<Predicate> correctedPredicate(const ManagedObject *folder);
    // A text rule left empty ("item contains ''", as a new folder starts) is a
    // rule not filled in yet: it lets every record through, also records
    // without that value. Anywhere in the tree.
    static Predicate withEmptyTextRulesOpen(const Predicate &predicate);

    // The rules of a new folder: an OR with one member, "(%K contains '') AND
    // (%K contains '')" over item and manufacturer.
    static Predicate newFolderPredicate();
    // Every folder the program creates has an OR at the top: a predicate that is
    // not an OR becomes its only member.
    static Predicate withOrAtTop(const Predicate &predicate);
};
