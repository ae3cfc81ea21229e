#include "core/PredicateCheck.h"

#include "core/Record.h"
#include "predicate/KeyValueSource.h"
#include "store/ManagedObjectModel.h"
#include "store/Stashly2_DataModel.h"

#include <QRegularExpression>

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

// Edits between two keys, ignoring case: enough to spot a typing slip.
int distance(const QString &a, const QString &b)
{
    const QString x = a.toCaseFolded();
    const QString y = b.toCaseFolded();
    std::vector<int> row(size_t(y.size()) + 1);
    std::iota(row.begin(), row.end(), 0);
    for (qsizetype i = 1; i <= x.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= y.size(); ++j) {
            const int above = row[size_t(j)];
            row[size_t(j)]
                = std::min({ above + 1, row[size_t(j - 1)] + 1, diagonal + (x.at(i - 1) == y.at(j - 1) ? 0 : 1) });
            diagonal = above;
        }
    }
    return row[size_t(y.size())];
}

QStringList keysOf(const EntityDescription &entity)
{
    return entity.propertyNames() + PredicateCheck::derivedKeys(entity.name());
}

QString unknownKey(const QString &key, const QString &keyPath, const EntityDescription &entity)
{
    QString message = QStringLiteral("%1 has no key \"%2\"").arg(entity.name(), key);
    if (key != keyPath)
        message += QStringLiteral(" (in \"%1\")").arg(keyPath);
    QString nearest;
    int best = 3; // more edits than this make a guess, not a hint
    for (const QString &candidate : keysOf(entity)) {
        const int d = distance(key, candidate);
        if (d < best) {
            best = d;
            nearest = candidate;
        }
    }
    if (!nearest.isEmpty())
        message += QStringLiteral("; did you mean \"%1\"?").arg(nearest);
    else
        message += QStringLiteral("; its keys are %1").arg(keysOf(entity).join(QStringLiteral(", ")));
    return message;
}

QString keyPathProblem(const QString &keyPath, const EntityDescription &root, const ManagedObjectModel &model)
{
    const QStringList keys = keyPath.split(QLatin1Char('.'));
    const EntityDescription *entity = &root;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QString &key = keys.at(i);
        const bool last = i + 1 == keys.size();
        if (entity->attributeIndex(key) >= 0 || PredicateCheck::derivedKeys(entity->name()).contains(key)) {
            if (last)
                return QString();
            return QStringLiteral("\"%1\" in \"%2\" is a value of %3, which has no keys of its own")
                .arg(key, keyPath, entity->name());
        }
        const int r = entity->relationshipIndex(key);
        if (r < 0)
            return unknownKey(key, keyPath, *entity);
        const EntityDescription *members = model.entity(entity->relationships().at(r).destinationEntity);
        if (!members)
            return unknownKey(key, keyPath, *entity);
        if (last) {
            const QStringList attributes = keysOf(*members);
            return QStringLiteral("\"%1\" is a list of %2; compare one of their keys, such as %1.%3")
                .arg(keyPath, members->name(), attributes.value(0));
        }
        entity = members;
    }
    return QString();
}

QString problemIn(const Predicate &predicate, const EntityDescription &entity, const ManagedObjectModel &model)
{
    if (predicate.isCompound()) {
        for (const Predicate &member : predicate.members()) {
            const QString problem = problemIn(member, entity, model);
            if (!problem.isEmpty())
                return problem;
        }
        return QString();
    }
    if (!predicate.isComparison())
        return QString();
    const QString problem = keyPathProblem(predicate.keyPath(), entity, model);
    if (!problem.isEmpty())
        return problem;
    if (predicate.operatorType() == Predicate::Operator::Matches
        && predicate.value().kind() == PredicateValue::Kind::Text) {
        const QString patternProblem = PredicateCheck::patternProblem(predicate.value().toText());
        if (!patternProblem.isEmpty())
            return QStringLiteral("The pattern \"%1\" of %2 MATCHES is not a regular expression: %3")
                .arg(predicate.value().toText(), predicate.keyPath(), patternProblem);
    }
    return QString();
}

} // namespace

QString PredicateCheck::problem(const Predicate &predicate, const EntityDescription &entity,
                                const ManagedObjectModel &model)
{
    return problemIn(predicate, entity, model);
}

QString PredicateCheck::problem(const Predicate &predicate, const QString &entity)
{
    const ManagedObjectModel &model = Stashly2_DataModel::model();
    const EntityDescription *description = model.entity(entity);
    if (!description)
        return QStringLiteral("There is no entity \"%1\"").arg(entity);
    return problemIn(predicate, *description, model);
}

QStringList PredicateCheck::derivedKeys(const QString &entity)
{
    if (entity == Record::Entity)
        return { KeyValueSource::notesPlainTextKey };
    return {};
}

QString PredicateCheck::patternProblem(const QString &pattern)
{
    const QRegularExpression expression(pattern);
    if (expression.isValid())
        return QString();
    return QStringLiteral("%1 at character %2").arg(expression.errorString()).arg(expression.patternErrorOffset() + 1);
}
