#include "navigation/DetailCardColorScheme.h"

#include "base/Settings.h"
#include "core/PreferenceController.h"

int DetailCardColorScheme::count()
{
    return int(PreferenceController::colorSchemeMenu().size());
}

DetailCardColorScheme DetailCardColorScheme::scheme(int index)
{
    if (index < 0 || index >= count())
        index = defaultIndex;
    const QString name = PreferenceController::colorSchemeMenu().at(index);
    switch (index) {
    case 0: // Graphite
        return { name,
                 QColor(0x3a3d42),
                 QColor(0xf4f4f5),
                 QColor(0x55595f),
                 QColor(0xffffff),
                 QColor(0x6e737a),
                 QColor(0x1f2124),
                 QColor(0x8a9099) };
    case 2: // Meadow
        return { name,
                 QColor(0xdcebd6),
                 QColor(0xfbfdf8),
                 QColor(0x3f7d4a),
                 QColor(0xffffff),
                 QColor(0x5d7a60),
                 QColor(0x1e2e20),
                 QColor(0x5aa563) };
    case 3: // Sunset
        return { name,
                 QColor(0xf3dccb),
                 QColor(0xfffaf5),
                 QColor(0xc2563a),
                 QColor(0xffffff),
                 QColor(0x8c5a44),
                 QColor(0x3a2218),
                 QColor(0xe07b39) };
    default: // Ocean
        return { name,
                 QColor(0xd3e4f2),
                 QColor(0xfbfdff),
                 QColor(0x2b6ca3),
                 QColor(0xffffff),
                 QColor(0x56708a),
                 QColor(0x14263a),
                 QColor(0x3b8fd9) };
    }
}

DetailCardColorScheme DetailCardColorScheme::current()
{
    return scheme(Settings::contains(Settings::colorSchemeIndex) ? Settings::integer(Settings::colorSchemeIndex)
                                                                 : defaultIndex);
}
