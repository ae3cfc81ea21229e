#pragma once

#include "navigation/RecordViewController.h"
#include "store/SortDescriptor.h"

#include <QSet>
#include <QVariantMap>

// The list view: a table of the visible records with a column menu. Its mode is
// current in the list and the enhanced view (the enhanced view shows the list's
// records one card at a time), so the record list stays filtered by the
// combination rule in both.
class ListViewController : public RecordViewController
{
    Q_OBJECT

public:
    // Where the column visibility is kept between runs.
    static inline const QString hiddenColumnsKey = QStringLiteral("listViewHiddenColumns");

    explicit ListViewController(ManagedObjectContext *context, QObject *parent = nullptr);

    void start() override;
    bool isCurrent() const override { return m_mode == ListMode || m_mode == EnhancedMode; }

    // The order the list starts with: item, then recordID.
    static QList<SortDescriptor> defaultSortDescriptors();
    // The sort of a column: texts compare case-insensitively; recordID breaks ties.
    static QList<SortDescriptor> sortDescriptorsForColumn(const QString &identifier, bool ascending);
    void sortByColumn(const QString &identifier, bool ascending);

    struct ColumnMenuEntry
    {
        QString identifier;
        QString title;
        bool checked;
    };
    QList<ColumnMenuEntry> columnMenu() const;
    bool isColumnVisible(const QString &identifier) const { return !m_hidden.contains(identifier); }
    void toggleColumn(const QString &identifier);
    void handleFirstRun();

    // The table's selection changed (rows of the record list).
    void tableViewSelectionDidChange(const QList<int> &rows);
    // Right click: false when no menu is shown (a click below the rows).
    bool contextMenuForRow(int row);

    // A drop not started by the list itself. `row` is the row dropped on, or the
    // row before which the drop falls when `onRow` is false.
    bool performDrop(const QVariantMap &payload, int row, bool onRow);

    void handleInputRefresh(const Event &event) override;
    void handleNewRecordAdded(const Event &event) override;

signals:
    void columnsChanged();
    // The table is to show the record list's selection.
    void selectionChanged();

protected:
    void publishSelection() override;
    void afterRefresh() override { emit selectionChanged(); }

private:
    void saveColumns() const;
    QSet<QString> m_hidden;
};
