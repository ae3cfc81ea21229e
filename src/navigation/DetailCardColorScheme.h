#pragma once

#include <QColor>
#include <QString>

// The colours of the enhanced detail card for each entry of the colour scheme
// menu (the setting colorSchemeIndex; 1 when none is stored).
class DetailCardColorScheme
{
public:
    QString name;
    QColor background; // behind the card
    QColor card;
    QColor header; // the band with the item's name
    QColor headerText;
    QColor label; // field names
    QColor text; // field values
    QColor accent; // warranty bar and rules

    static constexpr int defaultIndex = 1;
    static int count();
    // The scheme of an index; indexes outside the menu give the default scheme.
    static DetailCardColorScheme scheme(int index);
    // The scheme the settings choose.
    static DetailCardColorScheme current();
};
