#pragma once

#include "base/EventBus.h"
#include "navigation/RefreshCoalescer.h"
#include "predicate/Predicate.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

class ArrayController;
class ManagedObject;
class ManagedObjectContext;

// What the list view and the icon view share: their own copy of the three
// filter inputs (row, location, search), the view mode, the hold flag, and the
// refresh that filters the shared record list by the combination rule while
// keeping the record selection.
class RecordViewController : public QObject
{
    Q_OBJECT

public:
    enum Mode { IconMode = 0, ListMode = 1, EnhancedMode = 2 };

    RecordViewController(ManagedObjectContext *context, int ownMode, QObject *parent = nullptr);
    ~RecordViewController() override;

    // Registers the observers common to both views (and the view's own).
    virtual void start();

    const QString &rowName() const { return m_rowName; }
    const QString &rowType() const { return m_rowType; }
    const Predicate &locationFilter() const { return m_locationFilter; }
    const Predicate &searchFilter() const { return m_searchFilter; }
    int currentMode() const { return m_mode; }
    void setCurrentMode(int mode) { m_mode = mode; }
    bool holdsRefresh() const { return m_hold; }
    virtual bool isCurrent() const { return m_mode == m_ownMode; }
    QHash<QString, QList<ManagedObject *>> smartFolderContents() const { return m_folderContents; }

    ArrayController &records() const;

    // Requests a refresh; requests of one event-loop turn make one refresh.
    void refresh() { m_coalescer.request(); }
    // The refresh itself; skipped while held or while the view is not current.
    void refreshNow();
    void flushPendingRefresh()
    {
        m_coalescer.flush();
        m_selectionCheck.flush();
    }

    void handleSelectedSourceNameChanged(const Event &event);
    virtual void handleInputRefresh(const Event &event);
    void handleViewModeChanged(const Event &event);
    virtual void handleNewRecordAdded(const Event &event) = 0;

    static int modeFromText(const QString &text);
    static QString textFromMode(int mode);

signals:
    // The record list was filtered again (the view reloads).
    void refreshed();
    // The shared selection changed without this view (the view shows it).
    void selectionShown();

protected:
    virtual void afterRefresh() { }
    virtual void becameCurrent() { refresh(); }
    // Publishes the current selection as this view's selection event; the
    // implementations note what they published in m_published.
    virtual void publishSelection() = 0;
    QList<ManagedObject *> m_published;

    ManagedObjectContext *m_context;
    QString m_rowName;
    QString m_rowType = QStringLiteral("All");
    Predicate m_locationFilter;
    Predicate m_searchFilter;
    int m_mode = ListMode;
    int m_ownMode;
    bool m_hold = false;

private:
    void selectionMayHaveChanged();

    RefreshCoalescer m_coalescer;
    RefreshCoalescer m_selectionCheck;
    QHash<QString, QList<ManagedObject *>> m_folderContents;
};
