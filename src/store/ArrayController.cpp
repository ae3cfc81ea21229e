#include "store/ArrayController.h"

#include "base/EventBus.h"
#include "base/Events.h"
#include "store/ManagedObject.h"
#include "store/ManagedObjectContext.h"

#include <QSet>

#include <algorithm>

ArrayController::ArrayController(ManagedObjectContext *context, const QString &entityName, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_entityName(entityName)
{
}

ArrayController::~ArrayController()
{
    EventBus::instance().remove(this);
}

void ArrayController::setManagedObjectContext(ManagedObjectContext *context)
{
    m_context = context;
    if (m_automatic) {
        setAutomaticallyPreparesContent(false);
        setAutomaticallyPreparesContent(true);
    }
}

void ArrayController::setAutomaticallyPreparesContent(bool automatic)
{
    m_automatic = automatic;
    EventBus::instance().remove(this, Events::ManagedObjectContextObjectsDidChange);
    if (automatic && m_context)
        EventBus::instance().observe(
            this, Events::ManagedObjectContextObjectsDidChange, [this](const Event &) { fetch(); }, m_context);
}

void ArrayController::setFilterPredicate(const Predicate &predicate)
{
    m_filterPredicate = predicate;
    rearrangeObjects();
}

void ArrayController::setSortDescriptors(const QList<SortDescriptor> &sortDescriptors)
{
    m_sortDescriptors = sortDescriptors;
    rearrangeObjects();
}

bool ArrayController::fetch(QString *error)
{
    if (!m_context) {
        if (error)
            *error = QStringLiteral("The list has no store to fetch from.");
        return false;
    }
    FetchRequest request { m_entityName, m_fetchPredicate, {}, 0 };
    QString why;
    QList<ManagedObject *> fetched = m_context->executeFetchRequest(request, &why);
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    const QList<ManagedObject *> selected = selectedObjects();
    m_content = std::move(fetched);
    arrange(selected);
    return true;
}

void ArrayController::setContent(const QList<ManagedObject *> &content)
{
    const QList<ManagedObject *> selected = selectedObjects();
    m_content = content;
    arrange(selected);
}

void ArrayController::rearrangeObjects()
{
    arrange(selectedObjects());
}

void ArrayController::arrange(const QList<ManagedObject *> &keepSelected)
{
    QList<ManagedObject *> arranged;
    if (m_filterPredicate.isEmpty()) {
        arranged = m_content;
    } else {
        for (ManagedObject *object : std::as_const(m_content))
            if (m_filterPredicate.evaluate(*object))
                arranged.append(object);
    }
    SortDescriptor::sort(arranged, m_sortDescriptors);
    m_arranged = std::move(arranged);
    const QList<int> before = m_selection;
    m_selection.clear();
    const QSet<ManagedObject *> wanted(keepSelected.begin(), keepSelected.end());
    for (int i = 0; i < m_arranged.size() && !wanted.isEmpty(); ++i)
        if (wanted.contains(m_arranged.at(i)))
            m_selection.append(i);
    if (m_selection.isEmpty() && m_avoidsEmptySelection && !m_arranged.isEmpty())
        m_selection.append(0);
    emit arrangedObjectsChanged();
    if (m_selection != before)
        emit selectionChanged();
}

void ArrayController::setSelectionIndexes(const QList<int> &indexes)
{
    QList<int> selection;
    for (int i : indexes)
        if (i >= 0 && i < m_arranged.size() && !selection.contains(i))
            selection.append(i);
    std::sort(selection.begin(), selection.end());
    if (selection.isEmpty() && m_avoidsEmptySelection && !m_arranged.isEmpty())
        selection.append(0);
    if (selection == m_selection)
        return;
    m_selection = selection;
    emit selectionChanged();
}

QList<ManagedObject *> ArrayController::selectedObjects() const
{
    QList<ManagedObject *> objects;
    for (int i : m_selection)
        objects.append(m_arranged.at(i));
    return objects;
}

void ArrayController::setSelectedObjects(const QList<ManagedObject *> &objects)
{
    QList<int> indexes;
    for (ManagedObject *object : objects) {
        const int i = int(m_arranged.indexOf(object));
        if (i >= 0)
            indexes.append(i);
    }
    setSelectionIndexes(indexes);
}

ManagedObject *ArrayController::newObject()
{
    if (!m_context)
        return nullptr;
    ManagedObject *object = m_context->insertNewObject(m_entityName);
    if (object)
        addObject(object);
    return object;
}

void ArrayController::addObject(ManagedObject *object)
{
    if (!object || m_content.contains(object))
        return;
    m_content.append(object);
    arrange({ object });
}

void ArrayController::removeObjects(const QList<ManagedObject *> &objects)
{
    if (objects.isEmpty())
        return;
    for (ManagedObject *object : objects) {
        m_content.removeAll(object);
        if (m_context && object && object->managedObjectContext() == m_context)
            m_context->deleteObject(object);
    }
    QList<ManagedObject *> keep = selectedObjects();
    for (ManagedObject *object : objects)
        keep.removeAll(object);
    arrange(keep);
}
