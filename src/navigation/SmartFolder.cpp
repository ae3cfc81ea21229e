#include "navigation/SmartFolder.h"

#include "core/PredicateCheck.h"
#include "core/Record.h"
#include "predicate/PredicateCorrection.h"
#include "store/ManagedObject.h"

QString SmartFolder::name(const ManagedObject *folder)
{
    return folder ? folder->valueForKey(smartFolderNameKey).toString() : QString();
}

QString SmartFolder::nameProblem(const QString &name)
{
    // A blank row in the source list could be neither read nor chosen.
    if (name.trimmed().isEmpty())
        return QStringLiteral("A smart folder needs a name");
    return QString();
}

QString SmartFolder::rulesProblem(const Predicate &rules)
{
    return PredicateCheck::problem(rules, Record::Entity);
}

std::optional<Predicate> SmartFolder::predicate(const ManagedObject *folder)
{
    if (!folder)
        return std::nullopt;
    const QVariant data = folder->valueForKey(predicateDataKey);
    if (!data.isValid() || data.toByteArray().isEmpty())
        return std::nullopt;
    return Predicate::fromData(data.toByteArray());
}

bool SmartFolder::setPredicate(ManagedObject *folder, const Predicate &predicate)
{
    return folder && folder->setValue(predicateDataKey, predicate.toData());
}

std::optional<Predicate> SmartFolder::correctedPredicate(const ManagedObject *folder)
{
    const std::optional<Predicate> stored = predicate(folder);
    if (!stored)
        return std::nullopt;
    return withEmptyTextRulesOpen(PredicateCorrection::correctedPredicate(*stored));
}

Predicate SmartFolder::withEmptyTextRulesOpen(const Predicate &predicate)
{
    using Op = Predicate::Operator;
    if (predicate.isComparison()) {
        const Op op = predicate.operatorType();
        const bool textTest = op == Op::Contains || op == Op::BeginsWith || op == Op::EndsWith;
        const PredicateValue value = predicate.value();
        if (textTest && value.kind() == PredicateValue::Kind::Text && value.toText().isEmpty())
            return Predicate::truePredicate();
        return predicate;
    }
    if (!predicate.isCompound())
        return predicate;
    QList<Predicate> members;
    bool changed = false;
    for (const Predicate &member : predicate.members()) {
        members.append(withEmptyTextRulesOpen(member));
        changed = changed || members.last() != member;
    }
    return changed ? Predicate::compound(predicate.compoundType(), members) : predicate;
}

Predicate SmartFolder::newFolderPredicate()
{
    const Predicate rules = Predicate::fromFormat(QStringLiteral("(%K contains '') AND (%K contains '')"),
                                                  { QStringLiteral("item"), QStringLiteral("manufacturer") });
    return Predicate::orPredicate({ rules });
}

Predicate SmartFolder::withOrAtTop(const Predicate &predicate)
{
    if (predicate.isCompound() && predicate.compoundType() == Predicate::CompoundType::Or)
        return predicate;
    return Predicate::orPredicate({ predicate });
}
