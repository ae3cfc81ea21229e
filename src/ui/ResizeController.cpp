#include "ui/ResizeController.h"

#include <QWidget>

void ResizeController::applyToTagManager(QWidget *window)
{
    window->setFixedWidth(tagManagerWidth);
}

void ResizeController::applyToDetailContent(QWidget *content)
{
    content->setFixedHeight(detailContentHeight);
    content->update();
}
