#pragma once

#include <QWidget>

// The condition of a record as a row of stars (0 to 5): a click on a star sets
// that level, a click on the only lit star clears it.
class ConditionLevelControl : public QWidget
{
    Q_OBJECT

public:
    explicit ConditionLevelControl(QWidget *parent = nullptr);

    int level() const { return m_level; }
    void setLevel(int level);
    QSize sizeHint() const override;

signals:
    // The user chose a level.
    void levelChosen(int level);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    int starAt(const QPoint &pos) const;
    int m_level = 0;
};
