#include "navigation/RecordLabels.h"

#include <QCoreApplication>

QString RecordLabels::name(int labelIndex)
{
    static const char *const names[count] = { "None", "Red", "Orange", "Yellow", "Green", "Blue", "Purple", "Grey" };
    if (labelIndex < 0 || labelIndex >= count)
        return QString();
    return QCoreApplication::translate("RecordLabels", names[labelIndex]);
}

QColor RecordLabels::color(int labelIndex)
{
    static const QRgb colors[count]
        = { 0, 0xfff0524f, 0xfff5a623, 0xfff8d84a, 0xff5cc25e, 0xff3d8ef0, 0xffa46bd6, 0xff9a9a9e };
    if (labelIndex <= 0 || labelIndex >= count)
        return QColor();
    return QColor::fromRgba(colors[labelIndex]);
}

QString RecordLabels::conditionStars(int condition)
{
    condition = std::clamp(condition, 0, maximumCondition);
    return QString(condition, QChar(0x2605)) + QString(maximumCondition - condition, QChar(0x2606));
}
