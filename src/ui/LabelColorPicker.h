#pragma once

#include <QWidget>

class QButtonGroup;

// The colour label of a record: a row of round buttons, "none" first.
class LabelColorPicker : public QWidget
{
    Q_OBJECT

public:
    explicit LabelColorPicker(QWidget *parent = nullptr);

    int label() const;
    void setLabel(int label);

signals:
    void labelChosen(int label);

private:
    QButtonGroup *m_group;
};
