#pragma once

#include "core/TBXDateFormatter.h"
#include "core/TBXNumberFormatter.h"

#include <QAbstractTableModel>
#include <QList>
#include <QVector>

class ListViewController;
class ManagedObject;

// The record list for the table: one row per arranged record, one column per
// list column. Values are read from the records when the view asks for them;
// nothing is copied per row.
class RecordListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Role { RecordRole = Qt::UserRole + 1, SortValueRole, LevelRole, LabelIndexRole, ConditionRole };

    explicit RecordListModel(ListViewController *controller, QObject *parent = nullptr);
    ~RecordListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void sort(int column, Qt::SortOrder order) override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction | Qt::CopyAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }

    ManagedObject *recordAt(int row) const;
    // The text a cell shows (also used by the enhanced list).
    QString displayText(const ManagedObject *record, int column) const;

private:
    void arrangedObjectsChanged();
    int attributeIndex(int column) const;

    ListViewController *m_controller;
    QList<ManagedObject *> m_rows;
    mutable QVector<int> m_attributeIndexes; // per column, resolved once
    mutable QVector<int> m_currencyIndexes;
    TBXDateFormatter m_dates;
    TBXNumberFormatter m_numbers;
};
