#pragma once

#include "predicate/Predicate.h"
#include "store/ArrayController.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <memory>

class ManagedObjectContext;

// The location bar: an "All" item and one item per location; the chosen
// locations become the location filter, posted as TBXLocationsDidFilter.
class LocationBarController : public QObject
{
    Q_OBJECT

public:
    static inline const QString allGroupIdentifier = QStringLiteral("AllGroup");
    static inline const QString allItemIdentifier = QStringLiteral("AllItem");
    static inline const QString locationGroupIdentifier = QStringLiteral("LocationGroup");
    static inline const QString noneItemIdentifier = QStringLiteral("NoneItem");
    static inline const QString offImage = QStringLiteral("locationOffTemplate.png");
    static inline const QString onImage = QStringLiteral("locationOn.png");

    struct Item
    {
        QString identifier;
        QString title;
        bool on = false;
    };
    struct Group
    {
        QString identifier;
        QString label;
        bool separatorBefore = false;
        bool allowsMultipleSelection = true;
        QList<Item> items;
    };

    explicit LocationBarController(ManagedObjectContext *context, QObject *parent = nullptr);
    ~LocationBarController() override;

    // Builds both groups, chooses "All" and starts observing the location events.
    void start();

    const QList<Group> &groups() const { return m_groups; }
    bool allLocations() const { return m_allLocations; }
    const QStringList &selectedLocationIdentifiers() const { return m_selected; }
    const Predicate &locationFilterPredicate() const { return m_filter; }
    const QString &buttonImage() const { return m_image; }

    // The user turns an item on or off ("AllItem" or a location position).
    void setItemOn(const QString &identifier, bool on);
    // Re-reads the locations and rebuilds the bar; after a deletion it goes back to "All".
    void rebuild(bool locationDeleted);
    void filterStep();

signals:
    void changed();

private:
    void buildGroups();
    void showSelection();

    ManagedObjectContext *m_context;
    std::unique_ptr<ArrayController> m_locations;
    QList<Group> m_groups;
    bool m_allLocations = true;
    QStringList m_selected;
    Predicate m_filter;
    QString m_image = offImage;
};
