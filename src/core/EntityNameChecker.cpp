#include "core/EntityNameChecker.h"

#include "predicate/NamePredicate.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"

QList<ManagedObject *> EntityNameChecker::matches(const QString &candidate, ArrayController &arrayController,
                                                  const QString &key)
{
    arrayController.fetch();
    const Predicate predicate = NamePredicate::nameLookup(key, candidate);
    QList<ManagedObject *> found;
    for (ManagedObject *object : arrayController.arrangedObjects())
        if (predicate.evaluate(*object))
            found.append(object);
    return found;
}

// Tools -> Tools 1; Tools 1 -> Tools 2 (the last blank-separated piece becomes n).
QString EntityNameChecker::nextCandidate(const QString &candidate, const QString &name, int n)
{
    if (candidate == name)
        return name + QStringLiteral(" %1").arg(n);
    QStringList pieces = candidate.split(QLatin1Char(' '));
    pieces.last() = QString::number(n);
    return pieces.join(QLatin1Char(' '));
}

QString EntityNameChecker::checkName(const QString &name, ArrayController &arrayController, const QString &key)
{
    QString candidate = name;
    for (int n = 1; !matches(candidate, arrayController, key).isEmpty(); ++n)
        candidate = nextCandidate(candidate, name, n);
    return candidate;
}

QString EntityNameChecker::kvoCheckName(const QString &name, ArrayController &arrayController, const QString &key)
{
    if (matches(name, arrayController, key).size() <= 1)
        return name;
    QString candidate = nextCandidate(name, name, 1);
    for (int n = 2; !matches(candidate, arrayController, key).isEmpty(); ++n)
        candidate = nextCandidate(candidate, name, n);
    return candidate;
}

QString EntityNameChecker::checkNameOfManagedObject(ManagedObject *object, ArrayController &arrayController,
                                                    const QString &key)
{
    if (!object || key.isEmpty())
        return QString();
    const QString name = object->valueForKey(key).toString();
    QString candidate = name;
    for (int n = 1;; ++n) {
        const QList<ManagedObject *> found = matches(candidate, arrayController, key);
        if (found.isEmpty() || found.first() == object)
            break;
        candidate = nextCandidate(candidate, name, n);
    }
    return candidate;
}
