#pragma once

#include <QObject>

// The three-way view switch of the record area: 0 icon, 1 list, 2 enhanced,
// kept in the setting `viewMode` and announced as TBXViewModeChanged.
class ViewModeController : public QObject
{
    Q_OBJECT

public:
    explicit ViewModeController(QObject *parent = nullptr);

    // The stored mode; a mode never stored (or out of range) is the list view.
    static int storedViewMode();
    int viewMode() const { return m_mode; }
    void setViewMode(int mode);

signals:
    void viewModeChanged(int mode);

private:
    int m_mode;
};
