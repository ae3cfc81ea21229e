#pragma once

#include <QPointer>
#include <QWidget>

class ManagedObject;

// The enhanced view's card: one record drawn with the colour scheme chosen in
// the preferences (colorSchemeIndex), redrawn when the scheme or the record changes.
class EnhancedDetailCard : public QWidget
{
    Q_OBJECT

public:
    explicit EnhancedDetailCard(QWidget *parent = nullptr);
    ~EnhancedDetailCard() override;

    void setRecord(ManagedObject *record);
    ManagedObject *record() const { return m_record; }
    int colorSchemeIndex() const { return m_scheme; }

    QSize sizeHint() const override { return { 520, 560 }; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The rows of the card: field name and value text.
    QList<QPair<QString, QString>> fields() const;

    ManagedObject *m_record = nullptr;
    int m_scheme;
    bool m_drawnOnce = false;
};
