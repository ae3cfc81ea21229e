#include "navigation/RecordListModel.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "navigation/DragPayload.h"
#include "navigation/ListViewController.h"
#include "navigation/RecordLabels.h"
#include "navigation/RecordListColumn.h"
#include "store/ArrayController.h"
#include "store/ManagedObject.h"

#include <QBrush>
#include <QMimeData>
#include <QSet>

namespace {

// "$ - USD" shows as "$"; a currency with only a code shows the code.
QString currencySymbol(const QString &longForm)
{
    const int dash = int(longForm.indexOf(QLatin1String(" - ")));
    return dash >= 0 ? longForm.left(dash) : longForm;
}

} // namespace

RecordListModel::RecordListModel(ListViewController *controller, QObject *parent)
    : QAbstractTableModel(parent)
    , m_controller(controller)
{
    m_rows = controller->records().arrangedObjects();
    connect(&controller->records(), &ArrayController::arrangedObjectsChanged, this,
            &RecordListModel::arrangedObjectsChanged);
    for (const QString &name : { Events::TBXDateFormatUpdated, Events::TBXDecimalFormatUpdated })
        EventBus::instance().observe(this, name, [this](const Event &) {
            if (!m_rows.isEmpty())
                emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, columnCount() - 1));
        });
}

RecordListModel::~RecordListModel()
{
    EventBus::instance().remove(this);
}

void RecordListModel::arrangedObjectsChanged()
{
    const QList<ManagedObject *> &arranged = m_controller->records().arrangedObjects();
    if (arranged == m_rows) {
        // Same records in the same order: only values may have changed.
        if (!m_rows.isEmpty())
            emit dataChanged(index(0, 0), index(int(m_rows.size()) - 1, columnCount() - 1));
        return;
    }
    beginResetModel();
    m_rows = arranged;
    endResetModel();
}

int RecordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int RecordListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(RecordListColumn::all().size());
}

ManagedObject *RecordListModel::recordAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row) : nullptr;
}

int RecordListModel::attributeIndex(int column) const
{
    if (m_attributeIndexes.isEmpty() && !m_rows.isEmpty()) {
        const EntityDescription &entity = m_rows.first()->entity();
        for (const RecordListColumn &c : RecordListColumn::all()) {
            m_attributeIndexes.append(entity.attributeIndex(c.identifier));
            m_currencyIndexes.append(entity.attributeIndex(RecordListColumn::currencyKeyFor(c.identifier)));
        }
    }
    return column < m_attributeIndexes.size() ? m_attributeIndexes.at(column) : -1;
}

QString RecordListModel::displayText(const ManagedObject *record, int column) const
{
    const RecordListColumn &c = RecordListColumn::all().at(column);
    const QVariant v = record->value(attributeIndex(column));
    using K = RecordListColumn::Kind;
    switch (c.kind) {
    case K::Text:
        return v.toString();
    case K::Integer:
        return v.isValid() ? QString::number(v.toLongLong()) : QString();
    case K::Price: {
        if (!v.isValid())
            return QString();
        const QString symbol = currencySymbol(record->value(m_currencyIndexes.value(column, -1)).toString());
        const QString amount = m_numbers.stringFromNumber(v.toDouble());
        return symbol.isEmpty() ? amount : symbol + amount;
    }
    case K::Date:
        return v.isValid() ? m_dates.stringFromDate(v.toDateTime().toLocalTime()) : QString();
    case K::Boolean:
        return QString();
    case K::Level:
        return v.isValid() ? QStringLiteral("%1%").arg(qRound(v.toDouble())) : QString();
    case K::Condition:
        return v.isValid() ? RecordLabels::conditionStars(v.toInt()) : QString();
    case K::Label:
        return v.toInt() > 0 ? RecordLabels::name(v.toInt()) : QString();
    }
    return QString();
}

QVariant RecordListModel::data(const QModelIndex &index, int role) const
{
    const ManagedObject *record = recordAt(index.row());
    if (!record || index.column() < 0 || index.column() >= columnCount())
        return {};
    const RecordListColumn &c = RecordListColumn::all().at(index.column());
    using K = RecordListColumn::Kind;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return displayText(record, index.column());
    case Qt::CheckStateRole:
        if (c.kind == K::Boolean)
            return record->value(attributeIndex(index.column())).toBool() ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::DecorationRole:
        if (c.kind == K::Label) {
            const QColor color = RecordLabels::color(record->value(attributeIndex(index.column())).toInt());
            return color.isValid() ? QVariant(color) : QVariant();
        }
        return {};
    case Qt::TextAlignmentRole:
        if (c.kind == K::Integer || c.kind == K::Price)
            return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case LevelRole:
        return c.kind == K::Level ? record->value(attributeIndex(index.column())) : QVariant();
    case SortValueRole:
        return record->value(attributeIndex(index.column()));
    case RecordRole:
        return QVariant::fromValue(const_cast<ManagedObject *>(record));
    default:
        return {};
    }
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return RecordListColumn::all().at(section).title;
    if (role == Qt::UserRole)
        return RecordListColumn::all().at(section).identifier;
    return {};
}

Qt::ItemFlags RecordListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

void RecordListModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    m_controller->sortByColumn(RecordListColumn::all().at(column).identifier, order == Qt::AscendingOrder);
}

QStringList RecordListModel::mimeTypes() const
{
    return { DragPayload::recordMimeType, QStringLiteral("text/uri-list") };
}

QMimeData *RecordListModel::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &i : indexes)
        if (!rows.contains(i.row()))
            rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    QList<ManagedObject *> records;
    for (int row : rows)
        if (ManagedObject *r = recordAt(row))
            records.append(r);
    return DragPayload::mimeDataForRecords(records);
}
