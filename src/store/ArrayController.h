#pragma once

#include "predicate/Predicate.h"
#include "store/SortDescriptor.h"

#include <QList>
#include <QObject>
#include <QString>

class ManagedObject;
class ManagedObjectContext;

// A list shown in the interface: its content is a fetch (entity and fetch
// predicate); the arranged objects are the content that passes the filter
// predicate, in the order of the sort descriptors; the selection is kept as
// indexes into the arranged objects and follows its objects when they move.
class ArrayController : public QObject
{
    Q_OBJECT

public:
    explicit ArrayController(ManagedObjectContext *context = nullptr, const QString &entityName = {},
                             QObject *parent = nullptr);
    ~ArrayController() override;

    ManagedObjectContext *managedObjectContext() const { return m_context; }
    void setManagedObjectContext(ManagedObjectContext *context);
    const QString &entityName() const { return m_entityName; }
    void setEntityName(const QString &entityName) { m_entityName = entityName; }

    const Predicate &fetchPredicate() const { return m_fetchPredicate; }
    void setFetchPredicate(const Predicate &predicate) { m_fetchPredicate = predicate; }
    // Setting the filter or the sort keys arranges the content again.
    const Predicate &filterPredicate() const { return m_filterPredicate; }
    void setFilterPredicate(const Predicate &predicate);
    const QList<SortDescriptor> &sortDescriptors() const { return m_sortDescriptors; }
    void setSortDescriptors(const QList<SortDescriptor> &sortDescriptors);

    // Replaces the content by a new fetch. False (content unchanged) when there
    // is no context or no such entity.
    bool fetch(QString *error = nullptr);
    // Refetches whenever the context reports changes.
    void setAutomaticallyPreparesContent(bool automatic);
    bool automaticallyPreparesContent() const { return m_automatic; }

    const QList<ManagedObject *> &content() const { return m_content; }
    void setContent(const QList<ManagedObject *> &content);
    const QList<ManagedObject *> &arrangedObjects() const { return m_arranged; }
    void rearrangeObjects();

    QList<int> selectionIndexes() const { return m_selection; }
    // Indexes outside the arranged objects are dropped.
    void setSelectionIndexes(const QList<int> &indexes);
    int selectionIndex() const { return m_selection.isEmpty() ? -1 : m_selection.first(); }
    void setSelectionIndex(int index) { setSelectionIndexes(index < 0 ? QList<int>() : QList<int> { index }); }
    QList<ManagedObject *> selectedObjects() const;
    void setSelectedObjects(const QList<ManagedObject *> &objects);
    // When set, an empty selection becomes the first arranged object (off by default).
    bool avoidsEmptySelection() const { return m_avoidsEmptySelection; }
    void setAvoidsEmptySelection(bool avoids) { m_avoidsEmptySelection = avoids; }

    // A new object of the entity, inserted into the context and the content, and selected.
    ManagedObject *newObject();
    void addObject(ManagedObject *object);
    // Deletes the objects from the context and takes them out of the content.
    void removeObjects(const QList<ManagedObject *> &objects);
    void removeObject(ManagedObject *object) { removeObjects({ object }); }
    void remove() { removeObjects(selectedObjects()); }

signals:
    void arrangedObjectsChanged();
    void selectionChanged();

private:
    void arrange(const QList<ManagedObject *> &keepSelected);

    ManagedObjectContext *m_context = nullptr;
    QString m_entityName;
    Predicate m_fetchPredicate;
    Predicate m_filterPredicate;
    QList<SortDescriptor> m_sortDescriptors;
    QList<ManagedObject *> m_content;
    QList<ManagedObject *> m_arranged;
    QList<int> m_selection;
    bool m_avoidsEmptySelection = false;
    bool m_automatic = false;
};
