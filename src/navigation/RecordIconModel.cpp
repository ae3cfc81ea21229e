#include "navigation/RecordIconModel.h"

#include "navigation/CollectionViewController.h"
#include "navigation/DragPayload.h"
#include "store/ManagedObject.h"

#include <QImageReader>

RecordIconModel::RecordIconModel(CollectionViewController *controller, QObject *parent)
    : QAbstractListModel(parent)
    , m_controller(controller)
    , m_thumbnails(400)
{
    m_count = controller->itemCount();
    connect(controller, &CollectionViewController::itemsReloaded, this, [this] {
        beginResetModel();
        m_count = m_controller->itemCount();
        m_thumbnails.clear();
        endResetModel();
    });
}

int RecordIconModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QImage RecordIconModel::thumbnail(int row) const
{
    const TBXImageBrowserItem item = m_controller->itemAt(row);
    const QString key = item.filename + QLatin1Char('|') + item.uniqueIdentifier;
    if (QImage *cached = m_thumbnails.object(key))
        return *cached;
    QImage image;
    const QString path = m_controller->imagePath(item);
    if (!path.isEmpty()) {
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > thumbnailSize || size.height() > thumbnailSize))
            reader.setScaledSize(size.scaled(thumbnailSize, thumbnailSize, Qt::KeepAspectRatio));
        image = reader.read();
    }
    m_thumbnails.insert(key, new QImage(image));
    return image;
}

QVariant RecordIconModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_count)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_controller->itemAt(index.row()).imageTitle;
    case Qt::ToolTipRole: {
        const TBXImageBrowserItem item = m_controller->itemAt(index.row());
        return item.imageSubtitle.trimmed().isEmpty() ? item.imageTitle
                                                      : item.imageTitle + QLatin1Char('\n') + item.imageSubtitle;
    }
    case SubtitleRole:
        return m_controller->itemAt(index.row()).imageSubtitle;
    case FilenameRole:
        return m_controller->itemAt(index.row()).filename;
    case ThumbnailRole:
        return thumbnail(index.row());
    case RecordRole:
        return QVariant::fromValue(m_controller->itemAt(index.row()).record);
    default:
        return {};
    }
}

Qt::ItemFlags RecordIconModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
}

QStringList RecordIconModel::mimeTypes() const
{
    return { DragPayload::recordMimeType, QStringLiteral("text/uri-list") };
}

QMimeData *RecordIconModel::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &i : indexes)
        if (!rows.contains(i.row()))
            rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    return DragPayload::mimeDataForRecords(m_controller->recordsForItems(rows));
}
