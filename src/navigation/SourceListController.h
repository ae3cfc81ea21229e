#pragma once

#include "base/EventBus.h"
#include "navigation/RefreshCoalescer.h"
#include "navigation/SourceListTree.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class ArrayController;
class ManagedObject;
class ManagedObjectContext;

// The source list: builds the tree from the store, keeps it current, publishes
// the selected row, and handles the row context menu, double clicks, drops and
// the once-a-minute midnight check. The tree view renders `tree()` and reports
// clicks, expansion and drops here.
class SourceListController : public QObject
{
    Q_OBJECT

public:
    // The internal event of a context-menu force-select and the timer's event.
    static inline const QString contextMenuRequest = QStringLiteral("SourceListContextMenuRequest");
    static inline const QString midnightEvent = QStringLiteral("midnight");
    // There is no wake-from-sleep notice to observe here: a late timer tick stands for it.
    static inline const QString wakeEvent = QStringLiteral("wake");

    explicit SourceListController(ManagedObjectContext *context, QObject *parent = nullptr);
    ~SourceListController() override;

    const SourceListTree &tree() const { return m_tree; }
    ArrayController &webGroupArrayController() { return *m_webGroups; }

    // Window start: headers, the first selection event, observers, All Records
    // selected, the first full refresh after `firstRefreshDelayMs`, the
    // midnight timer.
    void windowStart(int firstRefreshDelayMs = 1000);

    bool refreshDataWithACUpdate(bool update);
    void handleRefresh(const Event &event);
    void handleForceSelectRow(const Event &event);
    // The selection step: publishes the row at the first selected position.
    void sourceListSelectionDidChange();
    void doubleClickAction();
    void midnightChecker();

    QList<SourceListItem *> visibleRowItems() const { return m_tree.visibleRowItems(); }
    QStringList visibleRowNames() const { return m_tree.visibleRowNames(); }
    SourceListTree::Lookup sourceListItemAtIndex(int row) const { return m_tree.sourceListItemAtIndex(row); }
    int indexForVisibleSourceListItemIncludingHeaders(const SourceListItem *item) const
    {
        return m_tree.indexForVisibleSourceListItemIncludingHeaders(item);
    }

    // The selection as the tree view shows it (visible row positions). Selecting
    // runs the selection step; header rows cannot be selected.
    const QList<int> &selectedRowIndexes() const { return m_selectedRows; }
    void selectRowIndexes(const QList<int> &rows);
    void selectRow(int row) { selectRowIndexes({ row }); }
    void selectRow(SourceListTree::FixedRow row) { selectRow(SourceListTree::position(row)); }

    void setGroupExpanded(const QString &groupIdentifier, bool expanded);

    SourceListItem *selectedSourceRow() const { return m_selectedSourceRow; }
    const QString &currentRowName() const { return m_currentRowName; }
    const QString &currentGroupIdentifier() const { return m_currentGroup; }
    bool showsWebView() const { return m_showsWebView; }

    // Context menu of a row: none for headers and "All Records"; otherwise the
    // row is force-selected and the menu offers "Edit..." and "Delete '<title>'".
    struct ContextMenu
    {
        QString editTitle;
        QString deleteTitle;
    };
    std::optional<ContextMenu> contextMenuForRow(int row);
    // "Delete" of the context menu: the deletion of the selected row, done by
    // whoever owns deletions.
    void setDeleteAction(std::function<void()> action) { m_deleteAction = std::move(action); }
    void deleteSelectedRow();

    // Drops. A drop is aimed at a row, never between rows.
    bool validateDrop(int row, bool betweenRows) const;
    // Records (object URI texts) onto a category row: moved into that category.
    bool acceptRecordDrop(int row, const QStringList &recordURIs);
    // Files onto a row: the payload plus rowName, posted as TBXFilesDraggedToCategory.
    bool acceptFileDrop(int row, const QVariantMap &payload);

    // Injectable: the clock of the midnight check, and the warranty recalculation of one record.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }
    void setWarrantyRecalculation(std::function<void(ManagedObject *)> recalculate)
    {
        m_recalculate = std::move(recalculate);
    }
    bool isRecalculating() const { return !m_recalcQueue.isEmpty(); }
    // Runs a refresh requested during this event-loop turn now.
    void flushPendingRefresh() { m_coalescer.flush(); }

signals:
    // The tree was rebuilt (the model resets).
    void treeRebuilt();
    // The selected positions changed (the view follows).
    void selectionChanged();
    // The records view or the web view is to be shown.
    void contentViewChanged(bool webView);

private:
    void observe();
    void setSelectedRows(const QList<int> &rows);
    void recalculateAll(bool inBackground);
    void recalculateNextSlice();
    void finishLaunching();
    void postSelectedSourceNameChanged(const void *object, const QString &rowName, const QString &rowType,
                                       std::optional<bool> canDelete);

    ManagedObjectContext *m_context;
    SourceListTree m_tree;
    std::unique_ptr<ArrayController> m_webGroups;
    QList<int> m_selectedRows;
    SourceListItem *m_selectedSourceRow = nullptr;
    QString m_currentRowName;
    QString m_currentGroup;
    bool m_showsWebView = false;
    QTimer m_midnightTimer;
    std::function<QDateTime()> m_clock;
    QDateTime m_lastTick;
    std::function<void(ManagedObject *)> m_recalculate;
    std::function<void()> m_deleteAction;
    QList<ManagedObject *> m_recalcQueue;
    RefreshCoalescer m_coalescer;
    QObject m_timerOwner;
};
