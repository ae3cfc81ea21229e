#pragma once

#include "core/AttributeLimits.h"

#include <QColor>
#include <QString>

// The colour labels of records: 0 is no label, 1 to 7 the colours.
class RecordLabels
{
public:
    static constexpr int count = AttributeLimits::labelCount;
    static QString name(int labelIndex);
    // An invalid colour for 0 (no label) and for values outside the range.
    static QColor color(int labelIndex);
    // Condition levels, 0 to 5, shown as stars.
    static constexpr int maximumCondition = AttributeLimits::maximumCondition;
    static QString conditionStars(int condition);
};
