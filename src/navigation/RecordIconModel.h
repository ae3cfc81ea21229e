#pragma once

#include <QAbstractListModel>
#include <QCache>
#include <QImage>

class CollectionViewController;

// The icon view's items: title, subtitle and thumbnail of each visible record.
// Thumbnails are read when an item is first drawn after a refresh.
class RecordIconModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role { SubtitleRole = Qt::UserRole + 1, FilenameRole, ThumbnailRole, RecordRole };
    // Thumbnails are scaled to this size for the icons.
    static constexpr int thumbnailSize = 256;

    explicit RecordIconModel(CollectionViewController *controller, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction | Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::CopyAction; }

private:
    QImage thumbnail(int row) const;

    CollectionViewController *m_controller;
    int m_count = 0;
    mutable QCache<QString, QImage> m_thumbnails;
};
