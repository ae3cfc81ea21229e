#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// The values a user may give the ranged and enumerated attributes of the model:
// one table, read wherever values come in (the command line, the window's
// fields, imports). Stored values are never checked against it: the record's
// own calculations handle whatever a store already holds.
class AttributeLimits
{
public:
    // Ranges shared with the controls that show them.
    static constexpr int maximumCondition = 5; // stars of the condition control
    static constexpr int labelCount = 8; // 0 (no label) and seven colours
    static constexpr int maximumQuantity = 999999;
    static constexpr int maximumWarrantyLength = 9999;

    struct Limit
    {
        QString entity;
        QString attribute;
        // A whole-number or number attribute: the smallest and largest value.
        bool ranged = false;
        bool wholeNumbers = true;
        qint64 minimum = 0;
        qint64 maximum = 0;
        // A text attribute: the texts it may hold, compared exactly.
        QStringList allowed;
    };

    static const QList<Limit> &table();
    // nullptr when the attribute takes any value of its type.
    static const Limit *find(const QString &entity, const QString &attribute);

    // Empty when `value` may be given to the attribute; otherwise one sentence
    // naming the attribute, the value and what it takes. A missing value is
    // always allowed (every attribute is optional).
    static QString check(const QString &entity, const QString &attribute, const QVariant &value);
    // The first problem among several values by attribute name.
    static QString check(const QString &entity, const QVariantMap &values);
};
