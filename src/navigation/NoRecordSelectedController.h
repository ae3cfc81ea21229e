#pragma once

#include <QObject>

// Enables the record detail controls (and makes the notes editable) exactly
// while records are selected in the list or icon view.
class NoRecordSelectedController : public QObject
{
    Q_OBJECT

public:
    explicit NoRecordSelectedController(QObject *parent = nullptr);
    ~NoRecordSelectedController() override;

    bool controlsEnabled() const { return m_enabled; }

signals:
    void controlsEnabledChanged(bool enabled);

private:
    bool m_enabled = false;
};
