#pragma once

#include <QWidget>

class LocationBarController;
class QHBoxLayout;
class QLabel;

// The location bar above the records: "All" and one toggle per location.
class LocationBar : public QWidget
{
    Q_OBJECT

public:
    explicit LocationBar(LocationBarController *controller, QWidget *parent = nullptr);

private:
    void rebuild();

    LocationBarController *m_controller;
    QHBoxLayout *m_layout;
    QLabel *m_image;
    QString m_shown; // the items the buttons were made for
};
