#pragma once

class QWidget;

// Panels whose size does not follow their window: the tag manager keeps its
// width, the record detail card its height (it scrolls inside its pane).
class ResizeController
{
public:
    static constexpr int tagManagerWidth = 194;
    static constexpr int detailContentHeight = 711;

    static void applyToTagManager(QWidget *window);
    static void applyToDetailContent(QWidget *content);
};
