#pragma once

#include "navigation/RecordViewController.h"
#include "navigation/TBXImageBrowserItem.h"

#include <QVariantMap>

// The icon view: one item per visible record, with its thumbnail, in the order
// of the record list.
class CollectionViewController : public RecordViewController
{
    Q_OBJECT

public:
    static constexpr double initialZoom = 0.75;

    explicit CollectionViewController(ManagedObjectContext *context, QObject *parent = nullptr);

    void start() override;

    // The library's "Thumbnails" folder.
    void setThumbnailsFolder(const QString &path) { m_thumbnails = path; }
    const QString &thumbnailsFolder() const { return m_thumbnails; }
    QString imagePath(const TBXImageBrowserItem &item) const;

    int itemCount() const;
    // Items are made when asked for, so a refresh costs nothing per record.
    TBXImageBrowserItem itemAt(int index) const;
    const QString &uniqueIdentifier() const { return m_uniqueIdentifier; }

    double zoom() const { return m_zoom; }
    void setZoom(double zoom);

    // `fromUser`: the change came from the mouse or the keyboard in the view;
    // any other change (a reload) is put back to the record list's selection.
    void imageBrowserSelectionDidChange(const QList<int> &indexes, bool fromUser);
    // Records of dragged items: those whose recordID equals the item's filename.
    QList<ManagedObject *> recordsForItems(const QList<int> &indexes) const;
    // A drop at an item (`onItem`) or between items (`index` the item before which it falls, or -1).
    bool performDrop(const QVariantMap &payload, int index, bool onItem);

    void handleApplicationFinishedLaunching();
    void handleInputRefresh(const Event &event) override;
    void handleNewRecordAdded(const Event &event) override;

signals:
    // The items were rebuilt (the view reloads).
    void itemsReloaded();
    // The view is to show the record list's selection.
    void selectionChanged();
    void zoomChanged(double zoom);

protected:
    void publishSelection() override;
    void afterRefresh() override;
    void becameCurrent() override;

private:
    ManagedObject *recordWithRecordID(const QString &filename) const;

    QString m_thumbnails;
    QString m_uniqueIdentifier;
    double m_zoom = initialZoom;
    bool m_addingNewRecord = false;
    quint64 m_generation = 0;
};
