#pragma once

#include "predicate/Predicate.h"

#include <QRegularExpression>

#include <atomic>

// One constant of a comparison, ready for comparing: numbers as numbers, texts
// folded for the comparison's options and, when they read as numbers, as numbers too.
struct PreparedScalar
{
    PredicateValue::Kind kind = PredicateValue::Kind::Nil;
    bool isInteger = false;
    qint64 integer = 0;
    double number = 0.0;
    bool textIsNumber = false; // a text such as "3", compared with numeric values as 3
    QString folded; // text constants, folded
};

// What evaluating one comparison needs, worked out once.
struct PreparedComparison
{
    QList<QString> keys; // the key path split at its dots

    // The slot of the last key in the layout last met (see KeyValueSource::layoutId),
    // as layout << 32 | (slot + 1); one word, so that threads never see half of it.
    mutable std::atomic<quint64> slotCache { 0 };

    PreparedScalar scalar; // ==, !=, <, <=, >, >=
    QList<PreparedScalar> list; // IN

    // CONTAINS, BEGINSWITH, ENDSWITH: the folded text looked for, or no test at all
    // when the constant has no text form (nil, a list).
    bool hasNeedle = false;
    QString needle;
    bool needleFitsNumber = false; // every character can occur in a plain decimal
    bool needleFitsDate = false; // every character can occur in "2014-05-02 04:00:00 +0000"

    // MATCHES: a pattern without special characters is compared as text.
    bool isLiteral = false;
    QString literal; // folded with all options
    QRegularExpression regex;
    bool regexValid = false;
};
